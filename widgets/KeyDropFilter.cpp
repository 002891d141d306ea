#include "widgets/KeyDropFilter.h"

#include <QChildEvent>
#include <QKeyEvent>
#include <QWidget>

namespace widgets {

KeyDropFilter::KeyDropFilter(QWidget* root, QList<int> keys)
    : QObject(root)
    , m_keys(std::move(keys))
{
    watch(root);
}

void KeyDropFilter::watch(QObject* object)
{
    if (!object->isWidgetType())
        return;
    object->installEventFilter(this);
    for (QObject* child : object->children())
        watch(child);
}

bool KeyDropFilter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ChildAdded:
        watch(static_cast<QChildEvent*>(event)->child());
        return false;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
        if (m_keys.contains(static_cast<QKeyEvent*>(event)->key())) {
            event->accept();
            return true;
        }
        return false;
    default:
        Q_UNUSED(watched);
        return false;
    }
}

} // namespace widgets
