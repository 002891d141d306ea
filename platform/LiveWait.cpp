#include "platform/LiveWait.h"

#include "platform/LastChance.h"

#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <thread>

namespace platform {

void LiveWait::run(const std::function<void()>& work)
{
    std::atomic<bool> done{false};
    std::thread worker([&] {
        LastChance::guard(work);
        done = true;
    });
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done)
            loop.quit();
    });
    poll.start(5);
    if (!done)
        loop.exec(QEventLoop::AllEvents);
    worker.join();
}

} // namespace platform
