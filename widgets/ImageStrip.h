#pragma once

#include <QImage>

#include <array>

namespace widgets {

// One look of an image button: the size the last strip loaded gave it, and its picture (null
// until a strip fills it).
struct StateImage
{
    int width = 0;
    int height = 0;
    QImage image;
};

// Index 0 normal, 1 hover, 2 pressed, 3 disabled.
using StateImages = std::array<StateImage, 4>;

// Turning a decoded image strip into button looks. Pure functions: no widget, no screen.
class ImageStrip
{
public:
    // The strip as the looks are cut from it. A strip with an alpha channel comes back in
    // Format_ARGB32_Premultiplied, each colour channel computed as value * alpha / 255 in
    // integer arithmetic with the remainder dropped (Qt's own conversion rounds, which would
    // turn (1, 1, 1, 128) into 1 instead of 0); alpha stays. A strip without alpha comes back
    // unchanged in Format_RGB32.
    static QImage prepared(const QImage& decoded);

    // Cuts `strip` (as prepared) into `looks`: looks 0..3 in turn, while the strip still holds a
    // whole look of stateWidth pixels, are replaced by the strip's rectangle at
    // (i * stateWidth, 0) of stateWidth x stateHeight. Looks beyond the last whole one keep
    // their previous picture. Every look records stateWidth and stateHeight, replaced or not.
    // stateHeight 0 means the strip's height. A null strip, a stateWidth below 1 or a negative
    // stateHeight change nothing.
    static void cut(const QImage& strip, int stateWidth, int stateHeight, StateImages& looks);
};

} // namespace widgets
