#include "assets/Artwork.h"
#include "platform/DpiScale.h"
#include "platform/GuardedApplication.h"
#include "updater/CkavrenupApp.h"

#include <QIcon>

int main(int argc, char** argv)
{
    platform::DpiScale::disableQtScaling();
    platform::GuardedApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("kavrenup"));
    app.setWindowIcon(QIcon(assets::Artwork::path(128)));
    updater::CkavrenupApp updaterApp;
    return updaterApp.initInstance();
}
