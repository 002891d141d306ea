#pragma once

#include <QList>
#include <QObject>

class QWidget;

namespace widgets {

// Drops the given keys before any widget of a window sees them: the window itself, the focused
// control (a button would click on Enter) and children added later. Notices use it for Enter
// and Esc, so they are answered with the mouse only.
class KeyDropFilter : public QObject
{
    Q_OBJECT

public:
    // Watches `root` and all its descendants; owned by `root`.
    KeyDropFilter(QWidget* root, QList<int> keys);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QObject* object);

    QList<int> m_keys;
};

} // namespace widgets
