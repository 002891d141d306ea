#pragma once

#include "widgets/ImageStrip.h"

#include <QAbstractButton>
#include <QFont>

namespace widgets {

// The image button of the skinned windows. It takes its looks from an image strip (normal,
// hover, pressed, disabled side by side), draws the chosen look stretched over itself on top of
// whatever its parent painted there (it never erases), and draws its label, if any, in white in
// the band from 50 pixels below its top to its bottom.
class CTraButton : public QAbstractButton
{
    Q_OBJECT

public:
    enum Look { Normal = 0, Hover = 1, Pressed = 2, Disabled = 3 };

    explicit CTraButton(QWidget* parent = nullptr);
    explicit CTraButton(const QString& label, QWidget* parent = nullptr);

    // Loads strip `resourceId` of the compiled-in artwork and cuts it into looks (see
    // ImageStrip). stateHeight 0 means the strip's height. A missing picture changes nothing.
    // May be called again at any time; looks the new strip does not cover keep their picture.
    void LoadStateImages(int resourceId, int stateWidth, int stateHeight = 0);
    // The same for a strip already decoded (a picture from a file, a test's image).
    void loadStateImages(const QImage& strip, int stateWidth, int stateHeight = 0);

    const StateImage& stateImage(int look) const;
    bool hovering() const { return m_hovering; }
    bool pressed() const { return m_pressed; }
    // The look the next paint uses.
    Look currentLook() const;

    // The look for a button state, the first rule that applies winning: disabled; held down
    // (the framework's pressed state); not hovering -> normal; hovering and our own pressed
    // flag -> pressed; else hover.
    static Look chooseLook(bool disabled, bool down, bool hovering, bool pressed);
    // The label drawn for a window text: the text with every U+0020 removed.
    static QString labelText(const QString& windowText);
    // The rectangle the label is centred in: the client rectangle with its top edge 50 pixels
    // lower, and its left and top edges one pixel further right and down for the pressed look.
    static QRect labelRect(const QRect& client, Look look);

    // Program-wide: image buttons show the pointing-hand cursor. The updater turns it on at
    // start-up; the shell keeps the arrow. Buttons created afterwards, and every button the
    // pointer enters, follow the setting.
    static void setHandCursor(bool on);
    static bool handCursor();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

private:
    void applyCursor();

    QFont m_labelFont;
    StateImages m_stateImages;
    bool m_hovering = false;
    bool m_pressed = false;
};

} // namespace widgets
