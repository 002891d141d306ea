#include "platform/DpiScale.h"
#include "platform/GuardedApplication.h"
#include "updater/CkavrenupApp.h"

int main(int argc, char** argv)
{
    platform::DpiScale::disableQtScaling();
    platform::GuardedApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("kavrenup"));
    updater::CkavrenupApp updaterApp;
    return updaterApp.initInstance();
}
