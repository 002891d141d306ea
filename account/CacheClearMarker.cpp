#include "account/CacheClearMarker.h"

#include <QDir>
#include <QFile>

namespace account {

bool CacheClearMarker::asksToClear(const QByteArray& content)
{
    const QByteArray trimmed = content.trimmed();
    qsizetype end = 0;
    while (end < trimmed.size() && !QChar::isSpace(static_cast<unsigned char>(trimmed.at(end))))
        ++end;
    return trimmed.left(end) == "true";
}

bool CacheClearMarker::consume(const QString& markerPath, const QString& cacheDir)
{
    QFile marker(markerPath);
    if (!marker.open(QIODevice::ReadOnly))
        return false;
    const bool clear = asksToClear(marker.read(4096));
    marker.close();
    if (!clear)
        return false;
    QDir(cacheDir).removeRecursively();
    QFile::remove(markerPath);
    return true;
}

} // namespace account
