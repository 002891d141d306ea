#include "platform/DesktopOpen.h"

#include "platform/Trace.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace platform {

bool DesktopOpen::open(const QString& target)
{
    Trace::event(QStringLiteral("open"), target);
    if (qEnvironmentVariableIntValue("KAVREN_NO_DESKTOP_OPEN") == 1)
        return true;
    const QUrl url = QFileInfo::exists(target) ? QUrl::fromLocalFile(target) : QUrl::fromUserInput(target);
    return QDesktopServices::openUrl(url);
}

} // namespace platform
