#include "session/FrameReader.h"

#include "session/Frame.h"
#include "session/Protocol.h"

namespace session {

void FrameReader::append(const char* data, std::size_t size)
{
    if (m_failed || size == 0)
        return;
    // Drop what has been taken out before growing, so the buffer holds at most one frame
    // plus the bytes of the read that completed it.
    if (m_start > 0) {
        m_buffer.remove(0, m_start);
        m_start = 0;
    }
    m_buffer.append(data, static_cast<qsizetype>(size));
}

std::uint32_t FrameReader::headLength() const
{
    if (pending() < protocol::kHeaderSize)
        return 0;
    return Frame::readLength(m_buffer.constData() + m_start);
}

FrameReader::Status FrameReader::next(QByteArray* payload)
{
    if (m_failed)
        return Status::ProtocolError;
    if (pending() < protocol::kHeaderSize)
        return Status::NeedMore;
    const std::uint32_t length = headLength();
    if (!Frame::isPossibleLength(length)) {
        m_failed = true;
        m_buffer.clear();
        m_start = 0;
        return Status::ProtocolError;
    }
    if (static_cast<std::uint32_t>(pending()) < length)
        return Status::NeedMore;
    const int payloadSize = static_cast<int>(length) - protocol::kHeaderSize;
    *payload = m_buffer.mid(m_start + protocol::kHeaderSize, payloadSize);
    m_start += static_cast<int>(length);
    if (m_start == m_buffer.size()) {
        m_buffer.clear();
        m_start = 0;
    }
    return Status::Frame;
}

} // namespace session
