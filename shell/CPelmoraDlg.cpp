#include "shell/CPelmoraDlg.h"

#include "account/CLogWnd.h"
#include "platform/DpiScale.h"
#include "platform/ExeDir.h"
#include "platform/HostLookup.h"
#include "platform/MessageIds.h"
#include "platform/MessageMap.h"
#include "platform/Process.h"
#include "platform/Prompts.h"
#include "platform/SingleInstance.h"
#include "platform/Trace.h"
#include "shell/ShellExit.h"

#include <QApplication>

#include <cstdio>
#include <unistd.h>

namespace shell {

namespace {

const QString kWindowTitle = QStringLiteral("Kavren工具箱");

// "Exit" in the start-up steps: end the process at once, without cleanup.
[[noreturn]] void exitNow()
{
    std::fflush(nullptr);
    ::_exit(0);
}

} // namespace

CPelmoraDlg::CPelmoraDlg(QWidget* parent)
    : QDialog(parent)
    , m_messages(new platform::MessageMap(this))
    , m_exit(std::make_unique<ShellExit>(m_messages))
{
    m_messages->on(platform::msg::kShowMainWindow, [this](quintptr, const QVariant&) {
        onShowRequest();
        return qintptr(0);
    });
    m_messages->on(platform::msg::kShutdownBrowser, [](quintptr, const QVariant&) {
        platform::Trace::event(QStringLiteral("shutdown-browser"));
        return qintptr(0);
    });
}

CPelmoraDlg::~CPelmoraDlg() = default;

bool CPelmoraDlg::onInitDialog()
{
    // 2. Executable folder; without it there is nothing to run from.
    if (platform::ExeDir::path().isEmpty())
        exitNow();

    // 4. Service address, with the compiled-in fallback and no message.
    m_serviceAddress = platform::HostLookup::serviceAddress();
    platform::Trace::event(QStringLiteral("service-address"), m_serviceAddress);

    // 5. Single instance: the running shell is asked to show itself, this one leaves.
    m_instance = std::make_unique<platform::SingleInstance>(QStringLiteral("MyPelmoraMutex"));
    if (!m_instance->acquire()) {
        m_instance->requestShow();
        platform::Prompts::messageBox(nullptr, kWindowTitle, QStringLiteral("工具箱已经运行"),
                                      platform::Prompts::Buttons::Ok, QMessageBox::Warning);
        exitNow();
    }
    connect(m_instance.get(), &platform::SingleInstance::showRequested, this,
            [this] { m_messages->post(platform::msg::kShowMainWindow); });

    // 6. Display scale and icon.
    m_dpiScale = platform::DpiScale::compute();
    platform::Trace::event(QStringLiteral("dpi-scale"), QString::number(m_dpiScale));
    setWindowIcon(QApplication::windowIcon());

    // 7. Only the launcher starts the shell: it passes "/start".
    if (!platform::Process::commandLine().contains(QLatin1String("/start"))) {
        platform::Prompts::messageBox(this, QStringLiteral("提示"),
                                      QStringLiteral("该文件不支持打开，请点击\"kavrenup.exe\"启动打开Kavren工具箱"),
                                      platform::Prompts::Buttons::Ok);
        exitNow();
    }

    // 8. Title and size.
    m_isShown = 1;
    setWindowTitle(kWindowTitle);
    resize(platform::DpiScale::scaled(1286, m_dpiScale), platform::DpiScale::scaled(722, m_dpiScale));
    platform::Trace::event(QStringLiteral("main-size"), QStringLiteral("%1x%2").arg(width()).arg(height()));

    // 10-12. The login window; nothing else starts without a login.
    m_logWnd = std::make_unique<account::CLogWnd>(m_dpiScale, [this] { m_exit->exitShell(); });
    platform::Trace::event(QStringLiteral("login-window"));
    m_logWnd->exec();
    if (!m_logWnd->loggedIn())
        m_exit->exitShell();

    // 28.
    m_initialised = true;
    platform::Trace::event(QStringLiteral("initialised"));
    return true;
}

void CPelmoraDlg::onShowRequest()
{
    if (!m_initialised) {
        platform::Trace::event(QStringLiteral("show-request"), QStringLiteral("ignored"));
        return;
    }
    platform::Trace::event(QStringLiteral("show-request"), QStringLiteral("shown"));
    m_isShown = 1;
    showNormal();
    raise();
    activateWindow();
}

} // namespace shell
