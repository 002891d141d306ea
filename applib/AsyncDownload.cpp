#include "applib/AsyncDownload.h"

#include <chrono>

namespace applib {

void AsyncDownload::pause()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_paused = true;
}

void AsyncDownload::resume()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_paused = false;
    }
    m_resumed.notify_all();
}

bool AsyncDownload::isPaused() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_paused;
}

bool AsyncDownload::waitWhilePaused()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_paused)
        return false;
    // cancelRequested is set without the lock, so look at it on a short period instead of
    // relying on a notification.
    while (m_paused && !cancelRequested.load())
        m_resumed.wait_for(lock, std::chrono::milliseconds(100));
    return true;
}

} // namespace applib
