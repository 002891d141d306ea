#include "widgets/CNoticeTwoSelect2.h"

#include "widgets/CTraButton.h"
#include "widgets/NoticeButton.h"

#include <QLabel>

namespace widgets {

CNoticeTwoSelect2::CNoticeTwoSelect2(QWidget* parent, double scale)
    : CNoticeTwoSelect2(parent, scale, QStringLiteral("CNoticeTwoSelect2"))
{
}

CNoticeTwoSelect2::CNoticeTwoSelect2(QWidget* parent, double scale, const QString& kind)
    : NoticeDialog(parent, scale, 312, 170, true)
    , m_kind(kind)
    , m_lines{QString(), QString(), QString()}
{
    const QColor text(51, 51, 51);
    const QColor red(255, 0, 0);
    for (int i = 0; i < 3; ++i) {
        m_lineLabels[i] = addLine(QRect(px(28), px(42 + 24 * i), width() - px(56), px(24)),
                                  Qt::AlignLeft | Qt::AlignVCenter, false, i == 1 ? red : text);
    }
    const int buttonTop = px(124);
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

void CNoticeTwoSelect2::setLines(const QString& first, const QString& second, const QString& third)
{
    m_lines = QStringList{first, second, third};
}

QAbstractButton* CNoticeTwoSelect2::okButton() const
{
    return m_ok;
}

QAbstractButton* CNoticeTwoSelect2::cancelButton() const
{
    return m_cancel;
}

QLabel* CNoticeTwoSelect2::lineLabel(int index) const
{
    return m_lineLabels[index];
}

int CNoticeTwoSelect2::DoModal()
{
    for (int i = 0; i < 3; ++i)
        m_lineLabels[i]->setText(m_lines.at(i));
    return runPrompt(m_kind, m_lines,
                     {QStringLiteral("ok"), QStringLiteral("cancel"), QStringLiteral("close")});
}

QAbstractButton* CNoticeTwoSelect2::buttonFor(const QString& answer) const
{
    if (answer == QLatin1String("ok"))
        return m_ok;
    if (answer == QLatin1String("cancel"))
        return m_cancel;
    return nullptr;
}

void CNoticeTwoSelect2::closeClicked()
{
    m_resultText = QStringLiteral("cancel");
    finish(Closed);
}

} // namespace widgets
