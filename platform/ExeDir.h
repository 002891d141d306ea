#pragma once

#include <QString>

namespace platform {

// The folder of the running executable, without a trailing separator. Every local file of the
// programs lives there (a portable install folder).
class ExeDir
{
public:
    // Empty when the executable's path cannot be read.
    static QString path();
    // The text before the last separator of an executable path ('/' or '\\'); empty when there is none.
    static QString fromExecutablePath(const QString& executablePath);
    // ExeDir + "/" + name; name may start with a separator or not.
    static QString file(const QString& name);
    // Tests point this at another folder.
    static void overrideForTests(const QString& dir);
};

} // namespace platform
