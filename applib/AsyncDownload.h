#pragma once

#include <QtGlobal>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace applib {

// The state of one download. The caller owns it; it must outlive the DownloadFile call that
// uses it, and it serves one call at a time. DownloadFile writes the counters on the caller's
// worker thread; any other thread may read them, ask for a cancel, or pause the transfer.
class AsyncDownload
{
public:
    AsyncDownload() = default;
    AsyncDownload(const AsyncDownload&) = delete;
    AsyncDownload& operator=(const AsyncDownload&) = delete;

    // Payload bytes the local file holds: the resume offset plus every byte this call received.
    std::atomic<qint64> received { 0 };
    // Expected size of the whole file; 0 while it is not known (or cannot be known).
    std::atomic<qint64> total { 0 };
    // Any thread sets it to stop the running call; the call returns within about a second.
    // DownloadFile reads it and never clears it: the owner clears it before the next call.
    std::atomic<bool> cancelRequested { false };
    // -1 after a cancel; otherwise the libcurl error code of the failure, or the HTTP status
    // of a refused request; 0 when the call did not fail.
    std::atomic<int> lastError { 0 };
    // Set when the body has been read to its end.
    std::atomic<bool> finished { false };

    // Cooperative pause: the transfer waits between two reads until resume() or a cancel. The
    // server may drop a connection that stays paused for long; the call then fails and the
    // next call resumes.
    void pause();
    void resume();
    bool isPaused() const;

    // Used by the transfer: blocks while paused, returning early when cancelRequested is set.
    // True when it had to wait.
    bool waitWhilePaused();

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_resumed;
    bool m_paused = false;
};

} // namespace applib
