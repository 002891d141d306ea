#pragma once

#include <QString>

namespace account {

// "clrCache.txt": when its first whitespace-delimited word is exactly "true", the browser
// cache folder is removed (depth first) and the marker deleted. Must run before the browser
// profile opens the folder.
class CacheClearMarker
{
public:
    // true when the marker asked for it and the cache was removed.
    static bool consume(const QString& markerPath, const QString& cacheDir);
    static bool asksToClear(const QByteArray& content);
};

} // namespace account
