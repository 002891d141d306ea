#include "account/CLogWnd.h"

#include "platform/DpiScale.h"

#include <QPushButton>

namespace account {

CLogWnd::CLogWnd(double dpiScale, std::function<void()> exitShell, QWidget* parent)
    : QDialog(parent)
    , m_exitShell(std::move(exitShell))
{
    setWindowTitle(QStringLiteral("Kavren工具箱登录页面"));
    setWindowFlag(Qt::FramelessWindowHint);
    resize(platform::DpiScale::scaled(373, dpiScale), platform::DpiScale::scaled(408, dpiScale));
    auto* close = new QPushButton(QStringLiteral("X"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setGeometry(width() - platform::DpiScale::scaled(30, dpiScale), platform::DpiScale::scaled(10, dpiScale),
                       platform::DpiScale::scaled(15, dpiScale), platform::DpiScale::scaled(15, dpiScale));
    connect(close, &QPushButton::clicked, this, [this] {
        if (m_exitShell)
            m_exitShell();
    });
}

} // namespace account
