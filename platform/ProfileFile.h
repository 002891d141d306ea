#pragma once

#include <QString>

namespace platform {

// Reads and writes "profile" files (UserInfo.ini, boxupdate.ini …) with the rules the
// programs have always relied on: sections and keys are found ignoring case, a missing file,
// section or key reads as the default, a value reads back as at most 99 characters, blanks
// around keys and values do not count, and a write keeps every other line of the file.
// Writes replace the file atomically, so a crash leaves the old file whole.
class ProfileFile
{
public:
    static constexpr int kMaxValueLength = 99;

    static QString read(const QString& path, const QString& section, const QString& key,
                        const QString& defaultValue = QStringLiteral("0"));
    // false when the file could not be written (callers may ignore it).
    static bool write(const QString& path, const QString& section, const QString& key, const QString& value);

    // The same rules over text already in memory (used by the fuzz target and the tests).
    static QString readFromText(const QString& text, const QString& section, const QString& key,
                                const QString& defaultValue);
    static QString writeToText(const QString& text, const QString& section, const QString& key,
                               const QString& value);
};

} // namespace platform
