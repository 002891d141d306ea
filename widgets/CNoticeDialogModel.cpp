#include "widgets/CNoticeDialogModel.h"

#include "widgets/CTraButton.h"
#include "widgets/NoticeButton.h"

#include <QLabel>

namespace widgets {

CNoticeDialogModel::CNoticeDialogModel(QWidget* parent, double scale)
    : NoticeDialog(parent, scale, 400, 200, false)
{
    m_message = addLine(QRect(px(30), px(44), width() - px(60), px(94)), Qt::AlignCenter, true, QColor(51, 51, 51));
    m_ok = addButton(QStringLiteral("确定"), true, QRect((width() - px(96)) / 2, px(150), px(96), px(32)));
    connect(m_ok, &QAbstractButton::clicked, this, [this] { finish(Ok); });
}

QAbstractButton* CNoticeDialogModel::okButton() const
{
    return m_ok;
}

int CNoticeDialogModel::DoModal()
{
    m_message->setText(m_text);
    return runPrompt(QStringLiteral("CNoticeDialogModel"), {m_text}, {QStringLiteral("ok"), QStringLiteral("close")});
}

QAbstractButton* CNoticeDialogModel::buttonFor(const QString& answer) const
{
    if (answer == QLatin1String("ok"))
        return m_ok;
    return nullptr;
}

void CNoticeDialogModel::closeClicked()
{
    finish(Closed);
}

} // namespace widgets
