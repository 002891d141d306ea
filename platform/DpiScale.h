#pragma once

namespace platform {

// The display scale factor every window multiplies its 96-DPI pixel geometry by.
class DpiScale
{
public:
    // Must run before the application object exists: Qt would otherwise scale by itself and
    // our own factor would be applied twice.
    static void disableQtScaling();

    // 96/120/144/192 DPI -> 1.0/1.25/1.5/2.0, exact comparisons, anything else 1.0.
    static double forDpi(double dpi);
    // The mean of the horizontal and vertical logical DPI.
    static double forAxes(double horizontalDpi, double verticalDpi);
    // Reads the primary screen's logical DPI; 1.0 without a screen.
    static double compute();
    // Pixel size times the factor, truncated toward zero.
    static int scaled(int pixels, double scale);
};

} // namespace platform
