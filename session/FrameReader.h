#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace session {

// The receive buffer of one connection. Bytes go in as they arrive, in pieces of any size;
// whole frames come out in order, however the bytes were split or joined on the way. The
// length field decides where a frame ends. A length below 4 or above 10240 cannot be a frame:
// the reader then reports a protocol error and stays in that state (the stream has lost its
// frame boundaries; the connection is to be dropped).
class FrameReader
{
public:
    enum class Status {
        NeedMore, // no whole frame buffered yet
        Frame, // a frame was taken out
        ProtocolError // an impossible length field
    };

    void append(const char* data, std::size_t size);
    void append(const QByteArray& bytes) { append(bytes.constData(), static_cast<std::size_t>(bytes.size())); }

    // Takes the next whole frame's payload out of the buffer.
    Status next(QByteArray* payload);

    // Bytes buffered and not yet taken out as frames.
    int pending() const { return static_cast<int>(m_buffer.size()) - m_start; }
    bool failed() const { return m_failed; }
    // Length of the frame whose header heads the buffer; 0 when fewer than four bytes are there.
    std::uint32_t headLength() const;

private:
    QByteArray m_buffer;
    int m_start = 0; // offset of the first byte not taken out yet
    bool m_failed = false;
};

} // namespace session
