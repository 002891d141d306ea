#include "widgets/CTraButton.h"

#include "assets/Artwork.h"
#include "widgets/SkinFont.h"

#include <QMouseEvent>
#include <QPainter>

namespace widgets {

namespace {

bool s_handCursor = false;

// The label sits in the band from this many pixels below the button's top to its bottom.
constexpr int kLabelTop = 50;

} // namespace

CTraButton::CTraButton(QWidget* parent)
    : QAbstractButton(parent)
    , m_labelFont(SkinFont::withCellHeight(20, QFont::Normal))
{
    // Hover is tracked from plain pointer moves, as the look table needs it.
    setMouseTracking(true);
    applyCursor();
}

CTraButton::CTraButton(const QString& label, QWidget* parent)
    : CTraButton(parent)
{
    setText(label);
}

void CTraButton::LoadStateImages(int resourceId, int stateWidth, int stateHeight)
{
    QImage strip(assets::Artwork::path(resourceId));
    if (strip.isNull())
        return;
    loadStateImages(strip, stateWidth, stateHeight);
}

void CTraButton::loadStateImages(const QImage& strip, int stateWidth, int stateHeight)
{
    ImageStrip::cut(ImageStrip::prepared(strip), stateWidth, stateHeight, m_stateImages);
    update();
}

const StateImage& CTraButton::stateImage(int look) const
{
    return m_stateImages.at(static_cast<size_t>(look));
}

CTraButton::Look CTraButton::chooseLook(bool disabled, bool down, bool hovering, bool pressed)
{
    if (disabled)
        return Disabled;
    if (down)
        return Pressed;
    if (!hovering)
        return Normal;
    if (pressed)
        return Pressed;
    return Hover;
}

QString CTraButton::labelText(const QString& windowText)
{
    QString label = windowText;
    label.remove(QLatin1Char(' '));
    return label;
}

QRect CTraButton::labelRect(const QRect& client, Look look)
{
    QRect band = client;
    if (look == Pressed)
        band.adjust(1, 1, 0, 0);
    band.setTop(band.top() + kLabelTop);
    return band;
}

CTraButton::Look CTraButton::currentLook() const
{
    return chooseLook(!isEnabled(), isDown(), m_hovering, m_pressed);
}

void CTraButton::setHandCursor(bool on)
{
    s_handCursor = on;
}

bool CTraButton::handCursor()
{
    return s_handCursor;
}

void CTraButton::applyCursor()
{
    if (s_handCursor)
        setCursor(Qt::PointingHandCursor);
    else if (testAttribute(Qt::WA_SetCursor) && cursor().shape() == Qt::PointingHandCursor)
        unsetCursor();
}

void CTraButton::paintEvent(QPaintEvent*)
{
    // No background: the parent's surface shows wherever the look is transparent.
    QPainter painter(this);
    const Look look = currentLook();
    const QImage& image = m_stateImages.at(static_cast<size_t>(look)).image;
    if (!image.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, image.size() != size());
        painter.drawImage(rect(), image);
    }

    const QString label = labelText(text());
    if (label.isEmpty())
        return;
    painter.setFont(m_labelFont);
    painter.setPen(QColor(255, 255, 255));
    painter.drawText(labelRect(rect(), look), Qt::AlignCenter | Qt::TextSingleLine, label);
}

void CTraButton::mouseMoveEvent(QMouseEvent* event)
{
    if (rect().contains(event->position().toPoint())) {
        if (!(event->buttons() & Qt::LeftButton))
            m_pressed = false;
        if (m_hovering) {
            QAbstractButton::mouseMoveEvent(event);
            return;
        }
        m_hovering = true;
        setFocus(Qt::MouseFocusReason);
    } else {
        m_hovering = false;
    }
    update();
    QAbstractButton::mouseMoveEvent(event);
}

void CTraButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        update();
    }
    QAbstractButton::mousePressEvent(event);
}

void CTraButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = false;
        m_hovering = false;
        update();
    }
    QAbstractButton::mouseReleaseEvent(event);
}

void CTraButton::leaveEvent(QEvent* event)
{
    // The pointer left without a button held (while one is held the moves outside arrive here
    // instead and clear the flag there).
    m_hovering = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void CTraButton::enterEvent(QEnterEvent* event)
{
    applyCursor();
    QAbstractButton::enterEvent(event);
}

} // namespace widgets
