#pragma once

#include "widgets/SkinnedDialog.h"

#include <QFont>
#include <QImage>
#include <QStringList>

class QAbstractButton;
class QLabel;

namespace widgets {

class CTraButton;
class NoticeButton;

// The common part of the three notice dialogs: a 30-pixel title band (picture 149 stretched)
// with the bell icon (175) and the title "温馨提醒", a grey frame around the area below it,
// the close X (image strip 155) near the top-right corner, no system frame, always on top, and
// Enter and Esc dropped so that a notice is answered with the mouse only. All pixel sizes are
// multiplied by the display scale.
//
// A notice runs through platform::Prompts, so every notice is traced and tests can answer it by
// name: "ok", "cancel" (where there is such a button) or "close" (the X). Any other answer
// counts as the X.
class NoticeDialog : public SkinnedDialog
{
    Q_OBJECT

public:
    // What DoModal returns: the X (and a close by the window manager) 0, 确定 1, 取消 2.
    enum Result { Closed = 0, Ok = 1, Cancel = 2 };

    static QString title();

    double scale() const { return m_scale; }
    CTraButton* closeButton() const { return m_close; }

    // A close that is not one of ours (the window manager's, a reject()) counts as the X.
    void reject() override;

protected:
    // `width` x `height` at 96 DPI. `scale` 0 or below reads the primary screen's factor.
    // With `unscaledClose` the X keeps its 96-DPI place and size at every scale.
    NoticeDialog(QWidget* parent, double scale, int width, int height, bool unscaledClose);

    // A scaled pixel length.
    int px(int pixels) const;
    QLabel* addLine(const QRect& geometry, Qt::Alignment alignment, bool wrap, const QColor& colour);
    NoticeButton* addButton(const QString& text, bool primary, const QRect& geometry);

    // Runs the dialog modally through the prompt layer and returns the Result it ended with.
    int runPrompt(const QString& kind, const QStringList& lines, const QStringList& answers);
    // Ends the dialog with `result`.
    void finish(int result);

    // The button that gives `answer`, or null (the X is then used).
    virtual QAbstractButton* buttonFor(const QString& answer) const = 0;
    // What the X does; every class ends with Closed, some set their result text first.
    virtual void closeClicked() = 0;

    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    double m_scale;
    bool m_ending = false;
    QImage m_header;
    QImage m_icon;
    QFont m_titleFont;
    CTraButton* m_close;
};

} // namespace widgets
