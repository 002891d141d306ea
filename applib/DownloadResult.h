#pragma once

namespace applib {

// What one DownloadFile call came to. The numbers are part of the interface: callers log and
// compare them.
enum class DownloadResult {
    Stopped = 0, // cancelled, or refused by the server or the file system: calling again is pointless
    Failed = 1, // a network failure or a time-out: calling again resumes where this call stopped
    Completed = 2, // the whole body is in the file and no trailer follows it
};

} // namespace applib
