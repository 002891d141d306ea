#pragma once

#include "widgets/NoticeDialog.h"

namespace widgets {

// A yes/no question in three lines, the middle one in red, with 确定, 取消 and the X. The
// result text is "ok" after 确定 and "cancel" after 取消 or the X. The X keeps its 96-DPI place
// and size at every display scale. Kept objects keep their last result text between runs.
class CNoticeTwoSelect2 : public NoticeDialog
{
    Q_OBJECT

public:
    explicit CNoticeTwoSelect2(QWidget* parent = nullptr, double scale = 0.0);

    void setLines(const QString& first, const QString& second, const QString& third);
    QStringList lines() const { return m_lines; }

    // Shows the question modally: Ok after 确定, Cancel after 取消, Closed after the X.
    int DoModal();
    QString resultText() const { return m_resultText; }

    QAbstractButton* okButton() const;
    QAbstractButton* cancelButton() const;
    QLabel* lineLabel(int index) const;

protected:
    // For dialogs of the same look under their own name (the prompt kind tests see).
    CNoticeTwoSelect2(QWidget* parent, double scale, const QString& kind);

    QAbstractButton* buttonFor(const QString& answer) const override;
    void closeClicked() override;

private:
    QString m_kind;
    QStringList m_lines;
    QString m_resultText;
    QLabel* m_lineLabels[3];
    NoticeButton* m_ok;
    NoticeButton* m_cancel;
};

} // namespace widgets
