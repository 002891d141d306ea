#include "session/Frame.h"

#include "session/Protocol.h"

namespace session {

QByteArray Frame::encode(const QByteArray& payload)
{
    if (payload.size() > protocol::kMaxPayloadSize)
        return {};
    QByteArray frame(protocol::kHeaderSize + payload.size(), '\0');
    writeLength(frame.data(), static_cast<std::uint32_t>(frame.size()));
    std::copy(payload.cbegin(), payload.cend(), frame.begin() + protocol::kHeaderSize);
    return frame;
}

void Frame::writeLength(char* header, std::uint32_t frameLength)
{
    for (int i = 0; i < protocol::kHeaderSize; ++i)
        header[i] = static_cast<char>((frameLength >> (8 * i)) & 0xFFu);
}

std::uint32_t Frame::readLength(const char* header)
{
    std::uint32_t length = 0;
    for (int i = protocol::kHeaderSize - 1; i >= 0; --i)
        length = (length << 8) | static_cast<unsigned char>(header[i]);
    return length;
}

bool Frame::isPossibleLength(std::uint32_t frameLength)
{
    return frameLength >= static_cast<std::uint32_t>(protocol::kHeaderSize)
        && frameLength <= static_cast<std::uint32_t>(protocol::kMaxFrameSize);
}

} // namespace session
