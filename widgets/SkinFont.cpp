#include "widgets/SkinFont.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace widgets {

namespace {

// Ascent plus descent of the named face in em (its Windows metrics: 2163 + 540 of 2048 units).
constexpr double kCellPerEm = 2703.0 / 2048.0;

} // namespace

QFont SkinFont::withPixelSize(int pixelSize, int weight)
{
    QFont font;
    font.setFamilies({QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"),
                      QStringLiteral("WenQuanYi Micro Hei")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, pixelSize));
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

QFont SkinFont::withCellHeight(int cellHeight, int weight)
{
    return withPixelSize(static_cast<int>(std::lround(cellHeight / kCellPerEm)), weight);
}

} // namespace widgets
