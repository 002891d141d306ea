#include "widgets/CNoticeTwoSelect.h"

#include "widgets/CTraButton.h"
#include "widgets/NoticeButton.h"

#include <QLabel>

namespace widgets {

CNoticeTwoSelect::CNoticeTwoSelect(QWidget* parent, double scale)
    : NoticeDialog(parent, scale, 300, 190, false)
{
    m_message = addLine(QRect(px(24), px(42), width() - px(48), px(88)), Qt::AlignCenter, true, QColor(51, 51, 51));
    const int buttonTop = px(140);
    m_ok = addButton(QStringLiteral("确定"), true, QRect(width() / 2 - px(90), buttonTop, px(80), px(30)));
    m_cancel = addButton(QStringLiteral("取消"), false, QRect(width() / 2 + px(10), buttonTop, px(80), px(30)));
    connect(m_ok, &QAbstractButton::clicked, this, [this] {
        m_resultText = QStringLiteral("ok");
        finish(Ok);
    });
    connect(m_cancel, &QAbstractButton::clicked, this, [this] {
        m_resultText = QStringLiteral("cancel");
        finish(Cancel);
    });
}

QAbstractButton* CNoticeTwoSelect::okButton() const
{
    return m_ok;
}

QAbstractButton* CNoticeTwoSelect::cancelButton() const
{
    return m_cancel;
}

int CNoticeTwoSelect::DoModal()
{
    m_message->setText(m_text);
    return runPrompt(QStringLiteral("CNoticeTwoSelect"), {m_text},
                     {QStringLiteral("ok"), QStringLiteral("cancel"), QStringLiteral("close")});
}

QAbstractButton* CNoticeTwoSelect::buttonFor(const QString& answer) const
{
    if (answer == QLatin1String("ok"))
        return m_ok;
    if (answer == QLatin1String("cancel"))
        return m_cancel;
    return nullptr;
}

void CNoticeTwoSelect::closeClicked()
{
    // The result text stays as it was.
    finish(Closed);
}

} // namespace widgets
