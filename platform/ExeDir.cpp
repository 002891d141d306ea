#include "platform/ExeDir.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <limits.h>
#include <unistd.h>

namespace platform {

namespace {
QString& overridden()
{
    static QString dir;
    return dir;
}

QString executablePath()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (n <= 0)
        return {};
    return QString::fromLocal8Bit(buffer, static_cast<int>(n));
}
} // namespace

QString ExeDir::path()
{
    if (!overridden().isEmpty())
        return overridden();
    static const QString dir = fromExecutablePath(executablePath());
    return dir;
}

QString ExeDir::fromExecutablePath(const QString& executablePath)
{
    const qsizetype slash = std::max(executablePath.lastIndexOf(QLatin1Char('/')),
                                     executablePath.lastIndexOf(QLatin1Char('\\')));
    if (slash < 0)
        return {};
    return executablePath.left(slash);
}

QString ExeDir::file(const QString& name)
{
    if (name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\')))
        return path() + QLatin1Char('/') + name.mid(1);
    return path() + QLatin1Char('/') + name;
}

void ExeDir::overrideForTests(const QString& dir)
{
    overridden() = dir;
}

} // namespace platform
