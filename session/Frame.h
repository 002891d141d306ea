#pragma once

#include <QByteArray>

#include <cstdint>

namespace session {

// One frame of the session protocol: the payload's length plus four, as an unsigned 32-bit
// little-endian number, followed by the payload.
class Frame
{
public:
    // The frame for payload; empty when the frame would exceed the 10240-byte limit.
    static QByteArray encode(const QByteArray& payload);
    static void writeLength(char* header, std::uint32_t frameLength);
    static std::uint32_t readLength(const char* header);
    // True for a length field that a frame can carry: 4 to 10240.
    static bool isPossibleLength(std::uint32_t frameLength);
};

} // namespace session
