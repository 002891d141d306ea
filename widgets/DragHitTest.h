#pragma once

#include <QObject>
#include <QPoint>

class QMouseEvent;
class QWidget;

namespace widgets {

// The drag hit test every skinned window installs: a left-button press on the window's own
// surface moves the window, the way a press on a title bar would. A press on a child control
// that takes presses itself (a button, a browser) does not; statics and other children that
// leave presses alone are part of the surface.
//
// The move is handed to the window manager (QWindow::startSystemMove). Where there is none that
// can do it (Xvfb without a manager, the offscreen platform), the window follows the pointer
// itself until the button is released.
class DragHitTest : public QObject
{
    Q_OBJECT

public:
    // Watches `window` (a top-level widget) for the rest of its life; owned by it.
    explicit DragHitTest(QWidget* window);

    // True while the window follows the pointer itself.
    bool followingPointer() const { return m_following; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool press(QMouseEvent* event);

    QWidget* m_window;
    bool m_following = false;
    QPoint m_pressGlobal;
    QPoint m_startPos;
};

} // namespace widgets
