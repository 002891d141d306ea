#pragma once

#include "widgets/NoticeDialog.h"

namespace widgets {

// A notice with one button, 确定, and the X. The caller sets the text and runs DoModal; no
// caller reads a result. Kept objects may be reused any number of times.
class CNoticeDialogModel : public NoticeDialog
{
    Q_OBJECT

public:
    explicit CNoticeDialogModel(QWidget* parent = nullptr, double scale = 0.0);

    void setText(const QString& text) { m_text = text; }
    QString text() const { return m_text; }

    // Shows the notice modally: Ok after 确定, Closed after the X.
    int DoModal();

    QAbstractButton* okButton() const;
    QLabel* messageLabel() const { return m_message; }

protected:
    QAbstractButton* buttonFor(const QString& answer) const override;
    void closeClicked() override;

private:
    QString m_text;
    QLabel* m_message;
    NoticeButton* m_ok;
};

} // namespace widgets
