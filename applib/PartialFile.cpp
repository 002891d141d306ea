#include "applib/PartialFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace applib {

PartialFile::PartialFile(QString path, DownloadTrailer trailer)
    : m_path(std::move(path))
    , m_trailer(std::move(trailer))
{
}

PartialFile::~PartialFile()
{
    close();
}

void PartialFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

PartialFile::OpenResult PartialFile::open()
{
    close();
    m_buffer.clear();
    m_written = 0;
    const QByteArray native = QFile::encodeName(m_path);

    struct stat info = {};
    const bool exists = ::lstat(native.constData(), &info) == 0;
    const qint64 trailerSize = m_trailer.size();
    if (exists && S_ISREG(info.st_mode) && m_trailer.canResume() && info.st_size >= trailerSize
        && info.st_size - trailerSize <= kMaxPayload) {
        const int fd = ::open(native.constData(), O_RDWR | O_CLOEXEC);
        if (fd >= 0) {
            QByteArray tail(static_cast<qsizetype>(trailerSize), '\0');
            const ssize_t got = ::pread(fd, tail.data(), static_cast<size_t>(trailerSize), info.st_size - trailerSize);
            if (got == trailerSize && m_trailer.matches(tail)) {
                m_fd = fd;
                m_written = info.st_size - trailerSize;
                return OpenResult::Resumed;
            }
            ::close(fd);
        }
    }

    if (exists && ::unlink(native.constData()) != 0 && errno != ENOENT)
        return OpenResult::CannotDelete;
    m_fd = ::open(native.constData(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    return m_fd >= 0 ? OpenResult::Fresh : OpenResult::CannotCreate;
}

bool PartialFile::writeAll(const char* data, qint64 size, qint64 offset)
{
    while (size > 0) {
        const ssize_t done = ::pwrite(m_fd, data, static_cast<size_t>(size), offset);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        data += done;
        size -= done;
        offset += done;
    }
    return true;
}

bool PartialFile::writeBlock()
{
    if (m_fd < 0)
        return false;
    if (m_buffer.empty())
        return true;
    // The block overwrites the old trailer; the new one follows it at once. A kill between
    // the two writes leaves a file without a trailer, which the next call restarts: never
    // one that resumes at a wrong offset.
    if (!writeAll(m_buffer.data(), static_cast<qint64>(m_buffer.size()), m_written))
        return false;
    m_written += static_cast<qint64>(m_buffer.size());
    m_buffer.clear(); // keeps the allocation
    if (m_trailer.canResume()) {
        const QByteArray trailer = m_trailer.bytes(m_written);
        if (!writeAll(trailer.constData(), trailer.size(), m_written))
            return false;
    }
    return true;
}

bool PartialFile::append(const char* data, qint64 size)
{
    if (m_buffer.empty()) {
        m_buffer.reserve(static_cast<size_t>(kBlockBytes));
        m_bufferSince = std::chrono::steady_clock::now();
    }
    while (size > 0) {
        const qint64 room = kBlockBytes - static_cast<qint64>(m_buffer.size());
        const qint64 take = qMin(room, size);
        m_buffer.insert(m_buffer.end(), data, data + take);
        data += take;
        size -= take;
        if (static_cast<qint64>(m_buffer.size()) >= kBlockBytes) {
            if (!writeBlock())
                return false;
            m_bufferSince = std::chrono::steady_clock::now();
        }
    }
    return writeIfDue();
}

bool PartialFile::writeIfDue()
{
    if (m_buffer.empty() || std::chrono::steady_clock::now() - m_bufferSince < kMaxBlockAge)
        return true;
    return writeBlock();
}

bool PartialFile::suspend()
{
    if (m_fd < 0)
        return false;
    if (!m_buffer.empty() && writeBlock())
        return true; // the trailer follows the block
    if (!m_buffer.empty()) {
        // The block could not be written (a full disk): give it up and cut the file back to
        // the payload written so far, so the trailer can stand right after it again.
        m_buffer.clear();
        if (::ftruncate(m_fd, m_written) != 0)
            return false;
    }
    if (!m_trailer.canResume())
        return true;
    // The trailer goes at the end of the payload, alone at byte 0 for a download that received
    // nothing.
    const QByteArray trailer = m_trailer.bytes(m_written);
    return writeAll(trailer.constData(), trailer.size(), m_written);
}

bool PartialFile::restart()
{
    m_buffer.clear();
    m_written = 0;
    return m_fd >= 0 && ::ftruncate(m_fd, 0) == 0;
}

bool PartialFile::complete()
{
    if (m_fd < 0 || !writeBlock())
        return false;
    const bool ok = ::ftruncate(m_fd, m_written) == 0;
    close();
    return ok;
}

} // namespace applib
