#include "assets/Artwork.h"
#include "platform/DpiScale.h"
#include "platform/GuardedApplication.h"
#include "shell/CPelmoraApp.h"

#include <QIcon>

#include <unistd.h>

int main(int argc, char** argv)
{
    platform::DpiScale::disableQtScaling();
    // Chromium will not start its sandbox as root; ordinary users keep it.
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // Web views share one GL context with the rest of the program.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    platform::GuardedApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("kavrenbox"));
    app.setQuitOnLastWindowClosed(false);
    app.setWindowIcon(QIcon(assets::Artwork::path(128)));
    shell::CPelmoraApp shellApp;
    return shellApp.initInstance();
}
