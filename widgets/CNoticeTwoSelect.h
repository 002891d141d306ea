#pragma once

#include "widgets/NoticeDialog.h"

namespace widgets {

// A yes/no question: 确定 and 取消 under one text, and the X. The result text is "ok" after
// 确定 and "cancel" after 取消; the X leaves it as it was, so a new object closed with the X
// answers with an empty text, which callers treat as a refusal. Kept objects keep their last
// result text between runs.
class CNoticeTwoSelect : public NoticeDialog
{
    Q_OBJECT

public:
    explicit CNoticeTwoSelect(QWidget* parent = nullptr, double scale = 0.0);

    void setText(const QString& text) { m_text = text; }
    QString text() const { return m_text; }

    // Shows the question modally: Ok after 确定, Cancel after 取消, Closed after the X.
    int DoModal();
    QString resultText() const { return m_resultText; }

    QAbstractButton* okButton() const;
    QAbstractButton* cancelButton() const;
    QLabel* messageLabel() const { return m_message; }

protected:
    QAbstractButton* buttonFor(const QString& answer) const override;
    void closeClicked() override;

private:
    QString m_text;
    QString m_resultText;
    QLabel* m_message;
    NoticeButton* m_ok;
    NoticeButton* m_cancel;
};

} // namespace widgets
