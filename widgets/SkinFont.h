#pragma once

#include <QFont>

namespace widgets {

// The face every skinned window writes in: "微软雅黑", falling back to a CJK sans face
// (Noto Sans CJK on our systems) where it is not installed.
class SkinFont
{
public:
    // A font whose character cell (ascent + descent) is `cellHeight` pixels in the named face.
    // Our windows are laid out with cell heights; the face's cell is 1.32 em, so the font gets
    // the em size that gives that cell, and a fallback face draws characters of the same size.
    static QFont withCellHeight(int cellHeight, int weight = QFont::Normal);

    // A font of `pixelSize` pixels per em.
    static QFont withPixelSize(int pixelSize, int weight = QFont::Normal);
};

} // namespace widgets
