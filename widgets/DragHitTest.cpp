#include "widgets/DragHitTest.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace widgets {

DragHitTest::DragHitTest(QWidget* window)
    : QObject(window)
    , m_window(window)
{
    window->installEventFilter(this);
}

bool DragHitTest::press(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    // Presses reach the window itself only when they hit its surface or a child that let them
    // through; a control that takes the press never passes it on.
    QWindow* handle = m_window->windowHandle();
    if (handle && handle->startSystemMove()) {
        m_following = false;
        return true;
    }
    m_following = true;
    m_pressGlobal = event->globalPosition().toPoint();
    m_startPos = m_window->pos();
    return true;
}

bool DragHitTest::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_window)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return press(static_cast<QMouseEvent*>(event));
    case QEvent::MouseMove: {
        if (!m_following)
            return false;
        auto* move = static_cast<QMouseEvent*>(event);
        if (!(move->buttons() & Qt::LeftButton)) {
            // The release went elsewhere (a grab was taken away): stop following.
            m_following = false;
            return false;
        }
        m_window->move(m_startPos + (move->globalPosition().toPoint() - m_pressGlobal));
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (!m_following || static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
            return false;
        m_following = false;
        return true;
    default:
        return false;
    }
}

} // namespace widgets
