#pragma once

#include <QDialog>

namespace widgets {

class DragHitTest;

// The base of the skinned dialogs: no system frame, a surface the subclass paints completely in
// paintEvent (nothing is erased first, so nothing flickers), and the drag hit test, so the user
// moves the dialog by its surface. Children without a background of their own (labels, image
// buttons) show the painted surface through.
class SkinnedDialog : public QDialog
{
    Q_OBJECT

public:
    // `extraFlags` adds window flags, e.g. Qt::WindowStaysOnTopHint for notices.
    explicit SkinnedDialog(QWidget* parent = nullptr, Qt::WindowFlags extraFlags = {});

    DragHitTest* dragHitTest() const { return m_dragHitTest; }

private:
    DragHitTest* m_dragHitTest;
};

} // namespace widgets
