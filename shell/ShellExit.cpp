#include "shell/ShellExit.h"

#include "platform/ExeDir.h"
#include "platform/MessageIds.h"
#include "platform/MessageMap.h"
#include "platform/Process.h"
#include "platform/Trace.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>
#include <thread>
#include <unistd.h>

namespace shell {

ShellExit::ShellExit(platform::MessageMap* mainWindow)
    : m_mainWindow(mainWindow)
{
}

void ShellExit::exitShell()
{
    finish(false);
}

void ShellExit::logOutShell()
{
    finish(true);
}

void ShellExit::finish(bool restart)
{
    platform::Trace::event(restart ? QStringLiteral("logout-shell") : QStringLiteral("exit-shell"));
    if (m_removeTrayIcon)
        m_removeTrayIcon();
    if (m_mainWindow) {
        platform::MessageMap* target = m_mainWindow;
        std::thread([target] { target->post(platform::msg::kShutdownBrowser); }).detach();
    }
    QThread::msleep(500);
    if (m_closeSession)
        m_closeSession();
    if (restart) {
        const QString relogin = platform::ExeDir::file(platform::Process::executableName(QStringLiteral("kavren-relogin")));
        platform::Process::startDetached(relogin, {QString::number(QCoreApplication::applicationPid())},
                                         platform::ExeDir::path());
    }
    std::fflush(nullptr);
    ::_exit(0);
}

} // namespace shell
