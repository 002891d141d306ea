// Runs the shell's logout routine on its own, from inside a staged program folder, so the
// end-to-end test can watch the restart chain: restarter -> updater -> shell.
#include "platform/GuardedApplication.h"
#include "shell/ShellExit.h"

int main(int argc, char** argv)
{
    platform::GuardedApplication app(argc, argv);
    shell::ShellExit exit(nullptr);
    exit.logOutShell();
}
