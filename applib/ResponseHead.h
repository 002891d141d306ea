#pragma once

#include <QtGlobal>

#include <cstddef>

namespace applib {

// Reads the header lines of HTTP answers one at a time, as libcurl hands them over, and keeps
// what the download needs from the answer being read. With redirects followed, libcurl passes
// the headers of every answer in turn; feed() says when the head of the final answer (the one
// whose body follows) is complete.
class ResponseHead
{
public:
    // Takes one header line (with its line end). Returns true when the line ended the head of
    // an answer that is not an interim one (1xx) and not a redirect that will be followed.
    bool feed(const char* line, std::size_t length);

    long status() const { return m_status; }
    // -1 when the answer has no (readable) Content-Length.
    qint64 contentLength() const { return m_contentLength; }
    // From "Content-Range: bytes A-B/T" or "bytes */T"; -1 for what the answer did not give.
    qint64 rangeStart() const { return m_rangeStart; }
    qint64 rangeTotal() const { return m_rangeTotal; }

private:
    void reset();
    void parseField(const char* line, std::size_t length);

    long m_status = 0;
    qint64 m_contentLength = -1;
    qint64 m_rangeStart = -1;
    qint64 m_rangeTotal = -1;
    bool m_hasLocation = false;
};

} // namespace applib
