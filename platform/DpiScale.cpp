#include "platform/DpiScale.h"

#include <QGuiApplication>
#include <QScreen>

namespace platform {

void DpiScale::disableQtScaling()
{
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Floor);
}

double DpiScale::forDpi(double dpi)
{
    if (dpi == 96.0)
        return 1.0;
    if (dpi == 120.0)
        return 1.25;
    if (dpi == 144.0)
        return 1.5;
    if (dpi == 192.0)
        return 2.0;
    return 1.0;
}

double DpiScale::forAxes(double horizontalDpi, double verticalDpi)
{
    return forDpi((horizontalDpi + verticalDpi) * 0.5);
}

double DpiScale::compute()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 1.0;
    return forAxes(screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY());
}

int DpiScale::scaled(int pixels, double scale)
{
    return static_cast<int>(pixels * scale);
}

} // namespace platform
