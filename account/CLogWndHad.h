#pragma once

#include "widgets/CNoticeTwoSelect2.h"

namespace account {

// The question about an account that is in use elsewhere: a title line, a first line in red
// and a second line, with 确定 ("ok") and 取消 or the X ("cancel"). Drawn at its fixed pixel
// size whatever the display scale.
class CLogWndHad : public widgets::CNoticeTwoSelect2
{
    Q_OBJECT
public:
    explicit CLogWndHad(QWidget* parent = nullptr);
};

} // namespace account
