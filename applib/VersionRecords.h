#pragma once

#include <QString>

namespace applib {

// The version records of installed catalogue apps: "DownLoadAppInfo.json" (first app list) and
// "DownLoadWeAppInfo.json" (second) beside the executable, each {"SoftVersionList":[{"Id","Version"}…]}.
class VersionRecords
{
public:
    // The first list's records as the page's GetSoftVersion receives them: the array of records
    // printed with three-space indents and a line feed, or "null\n" when there is no file, it
    // does not parse, or its list is missing or empty.
    static QString installedVersionsText(const QString& exeDir);
    static QString installedVersionsTextOf(const QByteArray& recordFile);
};

} // namespace applib
