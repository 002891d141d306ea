#pragma once

#include <QAbstractButton>
#include <QColor>

namespace widgets {

// The 确定 / 取消 buttons of the notices: white text on a rounded blue plate drawn over the
// dialog's own surface, lighter under the pointer and darker while held.
class NoticeButton : public QAbstractButton
{
    Q_OBJECT

public:
    enum class Role { Primary, Secondary };

    NoticeButton(const QString& text, Role role, int pixelSize, QWidget* parent = nullptr);

    Role role() const { return m_role; }
    // The plate colour of the current state.
    QColor plateColour() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Role m_role;
};

} // namespace widgets
