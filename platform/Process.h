#pragma once

#include <QString>
#include <QStringList>

namespace platform {

class Process
{
public:
    // Program names carry ".exe" on Windows and nothing on Linux.
    static QString executableName(const QString& baseName);
    // The whole command line as one text (arguments joined by blanks, the program first).
    static QString commandLine();
    static bool startDetached(const QString& program, const QStringList& arguments,
                              const QString& workingDirectory = {}, qint64* pid = nullptr);
    static bool isRunning(qint64 pid);
    // Ends every process (other than this one) whose executable's file name is imageName.
    // At most `passes` scans; returns how many processes were sent the end signal.
    static int terminateByImageName(const QString& imageName, int passes = 5);
};

} // namespace platform
