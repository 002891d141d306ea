#pragma once

#include "applib/DownloadTrailer.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <vector>

namespace applib {

// The local file of one download: the payload and, while the download is incomplete, a
// trailer right after it. Payload is collected into large blocks; each block written is
// followed by a fresh trailer, so the file can be resumed at any moment, even after the
// process was killed. A block is written once it is full, or once its oldest byte has waited
// kMaxBlockAge (slow downloads still reach the disk often).
class PartialFile
{
public:
    enum class OpenResult {
        Resumed, // the file ended in a matching trailer; writing continues at length()
        Fresh, // the file is new and empty
        CannotDelete, // a stale file is in the way and could not be deleted
        CannotCreate, // the file could not be created or opened
    };

    static constexpr qint64 kBlockBytes = 1024 * 1024;
    static constexpr std::chrono::milliseconds kMaxBlockAge { 200 };

    // Payloads must stay below 2 GiB: offsets travel as 32-bit signed numbers in the Range
    // header and in the trailer.
    static constexpr qint64 kMaxPayload = 0x7FFFFFFF;

    PartialFile(QString path, DownloadTrailer trailer);
    ~PartialFile();
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;

    // The resume test: a file that ends in a matching trailer is kept and the payload before
    // the trailer is the resume offset; anything else at the path is deleted and an empty file
    // is created. A missing file is created.
    OpenResult open();

    // Payload bytes held: written blocks plus what waits in the buffer.
    qint64 length() const { return m_written + static_cast<qint64>(m_buffer.size()); }

    // Takes more payload. False when writing a block failed.
    bool append(const char* data, qint64 size);
    // Writes the buffered payload when it has waited too long. False when writing failed.
    bool writeIfDue();
    // Writes what is buffered, then the trailer: the file can be resumed from here. A block
    // that cannot be written is dropped and the trailer follows the payload written before.
    bool suspend();
    // Drops all payload: the download starts again at byte 0.
    bool restart();
    // Writes what is buffered and cuts off the trailer: the file holds exactly the payload.
    bool complete();

private:
    bool writeBlock();
    bool writeAll(const char* data, qint64 size, qint64 offset);
    void close();

    QString m_path;
    DownloadTrailer m_trailer;
    int m_fd = -1;
    qint64 m_written = 0;
    // Allocated once: fresh memory for every block costs a page fault per 4 KiB.
    std::vector<char> m_buffer;
    std::chrono::steady_clock::time_point m_bufferSince;
};

} // namespace applib
