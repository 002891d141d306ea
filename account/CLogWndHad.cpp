#include "account/CLogWndHad.h"

namespace account {

CLogWndHad::CLogWndHad(QWidget* parent)
    : widgets::CNoticeTwoSelect2(parent, 1.0, QStringLiteral("CLogWndHad"))
{
}

} // namespace account
