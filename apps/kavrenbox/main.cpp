#include "platform/DpiScale.h"
#include "platform/GuardedApplication.h"
#include "shell/CPelmoraApp.h"

#include <unistd.h>

int main(int argc, char** argv)
{
    platform::DpiScale::disableQtScaling();
    // Chromium will not start its sandbox as root; ordinary users keep it.
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    platform::GuardedApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("kavrenbox"));
    app.setQuitOnLastWindowClosed(false);
    shell::CPelmoraApp shellApp;
    return shellApp.initInstance();
}
