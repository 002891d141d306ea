#pragma once

#include <functional>

namespace platform {
class MessageMap;
}

namespace shell {

// The two ways out of the running shell. Both remove the tray icon, have a worker post the
// browser shut-down message to the main window, wait 500 ms, close the session socket and end
// the process with exit code 0. LogOutShell also starts the restarter, which brings the
// updater (and with it the login window) back once this process is gone.
class ShellExit
{
public:
    explicit ShellExit(platform::MessageMap* mainWindow);

    void setRemoveTrayIcon(std::function<void()> step) { m_removeTrayIcon = std::move(step); }
    void setCloseSession(std::function<void()> step) { m_closeSession = std::move(step); }

    [[noreturn]] void exitShell();
    [[noreturn]] void logOutShell();

private:
    [[noreturn]] void finish(bool restart);

    platform::MessageMap* m_mainWindow;
    std::function<void()> m_removeTrayIcon;
    std::function<void()> m_closeSession;
};

} // namespace shell
