#include "widgets/NoticeButton.h"

#include "widgets/SkinFont.h"

#include <QPainter>

namespace widgets {

NoticeButton::NoticeButton(const QString& text, Role role, int pixelSize, QWidget* parent)
    : QAbstractButton(parent)
    , m_role(role)
{
    setText(text);
    setFont(SkinFont::withPixelSize(pixelSize));
    // Repaint when the pointer comes and goes.
    setAttribute(Qt::WA_Hover);
}

QColor NoticeButton::plateColour() const
{
    const bool primary = m_role == Role::Primary;
    if (isDown())
        return primary ? QColor(31, 102, 201) : QColor(106, 124, 148);
    if (underMouse())
        return primary ? QColor(74, 148, 245) : QColor(146, 162, 184);
    return primary ? QColor(47, 128, 237) : QColor(128, 145, 168);
}

void NoticeButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(plateColour());
    const qreal radius = height() / 6.0;
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);

    QRect textRect = rect();
    if (isDown())
        textRect.translate(1, 1);
    painter.setPen(QColor(255, 255, 255));
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, text());
}

} // namespace widgets
