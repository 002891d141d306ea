#include "widgets/ImageStrip.h"

namespace widgets {

QImage ImageStrip::prepared(const QImage& decoded)
{
    if (decoded.isNull())
        return {};
    if (!decoded.hasAlphaChannel())
        return decoded.convertToFormat(QImage::Format_RGB32);

    QImage image = decoded.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            const int a = qAlpha(p);
            line[x] = qRgba(qRed(p) * a / 255, qGreen(p) * a / 255, qBlue(p) * a / 255, a);
        }
    }
    // The pixels already are premultiplied: relabel the format without converting again.
    image.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    return image;
}

void ImageStrip::cut(const QImage& strip, int stateWidth, int stateHeight, StateImages& looks)
{
    if (strip.isNull() || stateWidth < 1 || stateHeight < 0)
        return;
    const int height = stateHeight == 0 ? strip.height() : stateHeight;
    for (StateImage& look : looks) {
        look.width = stateWidth;
        look.height = height;
    }
    for (int i = 0; i < static_cast<int>(looks.size()); ++i) {
        const qint64 left = static_cast<qint64>(i) * stateWidth;
        if (left + stateWidth > strip.width())
            break;
        // copy() fills whatever lies outside the strip (a stateHeight above its height) with 0.
        looks[static_cast<size_t>(i)].image = strip.copy(static_cast<int>(left), 0, stateWidth, height);
    }
}

} // namespace widgets
