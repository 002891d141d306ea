// The restarter the shell starts when the user logs out: it waits until the shell process
// that started it has ended, then starts the updater, which brings the login window back.

#include "platform/ExeDir.h"
#include "platform/Process.h"
#include "platform/Trace.h"

#include <QCoreApplication>

#include <cerrno>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Waits for the process to end. A pidfd cannot be fooled by a reused process number;
// where the kernel has none, poll the number.
void waitForExit(pid_t pid)
{
#ifdef SYS_pidfd_open
    const int fd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (fd >= 0) {
        pollfd p{fd, POLLIN, 0};
        while (::poll(&p, 1, -1) < 0 && errno == EINTR) {
        }
        ::close(fd);
        return;
    }
#endif
    while (platform::Process::isRunning(pid))
        ::usleep(100 * 1000);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 2) {
        bool ok = false;
        const qint64 pid = args.at(1).toLongLong(&ok);
        if (ok && pid > 0)
            waitForExit(static_cast<pid_t>(pid));
    }
    const QString updater = platform::ExeDir::file(platform::Process::executableName(QStringLiteral("kavrenup")));
    platform::Trace::event(QStringLiteral("relogin-start"), updater);
    return platform::Process::startDetached(updater, {}, platform::ExeDir::path()) ? 0 : 1;
}
