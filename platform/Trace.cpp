#include "platform/Trace.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace platform {

void Trace::event(const QString& name, const QString& detail)
{
    const QByteArray path = qgetenv("KAVREN_TRACE_FILE");
    if (path.isEmpty())
        return;
    QString text = QFileInfo(QCoreApplication::applicationFilePath()).fileName() + QLatin1Char(' ')
        + QString::number(QCoreApplication::applicationPid()) + QLatin1Char(' ') + name;
    if (!detail.isEmpty())
        text += QLatin1Char(' ') + QString(detail).replace(QLatin1Char('\n'), QLatin1String("\\n"));
    const QByteArray line = text.toUtf8() + '\n';
    // One write with O_APPEND keeps lines of several processes whole.
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    [[maybe_unused]] const ssize_t written = ::write(fd, line.constData(), static_cast<size_t>(line.size()));
    ::close(fd);
}

} // namespace platform
