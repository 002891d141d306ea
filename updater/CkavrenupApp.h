#pragma once

#include <QString>

namespace updater {

// What the user starts: single instance, service address, version check, then the update
// dialog or the hand-over to the shell. Every path ends the process.
class CkavrenupApp
{
public:
    // Returns the exit code of the paths that do not end the process themselves.
    int initInstance();

    // Hands over to the shell: the command line is the shell's quoted path followed by " /start".
    // Returns without effect when the shell is missing; otherwise ends the process (exit code 1).
    static void startShell(const QString& shellPath);
    static QString shellCommandLine(const QString& shellPath);
};

} // namespace updater
