#include "widgets/SkinnedDialog.h"

#include "widgets/DragHitTest.h"

namespace widgets {

SkinnedDialog::SkinnedDialog(QWidget* parent, Qt::WindowFlags extraFlags)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | extraFlags)
    , m_dragHitTest(new DragHitTest(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

} // namespace widgets
