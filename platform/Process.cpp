#include "platform/Process.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <sys/types.h>
#include <unistd.h>

namespace platform {

QString Process::executableName(const QString& baseName)
{
#ifdef Q_OS_WIN
    return baseName + QStringLiteral(".exe");
#else
    return baseName;
#endif
}

QString Process::commandLine()
{
    return QCoreApplication::arguments().join(QLatin1Char(' '));
}

bool Process::startDetached(const QString& program, const QStringList& arguments, const QString& workingDirectory,
                            qint64* pid)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    // Children must not inherit our standard streams (a test harness waits for them to close).
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached(pid);
}

bool Process::isRunning(qint64 pid)
{
    if (pid <= 0)
        return false;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM)
        return false;
    // A zombie has ended; it only waits for its parent to collect it.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close < 0 || text.mid(close + 2, 1) != "Z";
}

int Process::terminateByImageName(const QString& imageName, int passes)
{
    const qint64 self = QCoreApplication::applicationPid();
    int signalled = 0;
    for (int pass = 0; pass < passes; ++pass) {
        int foundThisPass = 0;
        const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString& entry : entries) {
            bool isPid = false;
            const qint64 pid = entry.toLongLong(&isPid);
            if (!isPid || pid == self)
                continue;
            const QString exe = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
            if (exe.isEmpty() || QFileInfo(exe).fileName() != imageName)
                continue;
            if (::kill(static_cast<pid_t>(pid), SIGTERM) == 0) {
                ++signalled;
                ++foundThisPass;
            }
        }
        if (foundThisPass == 0)
            break;
        QThread::msleep(50);
    }
    return signalled;
}

} // namespace platform
