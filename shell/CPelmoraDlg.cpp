#include "shell/CPelmoraDlg.h"

#include "account/CLogWnd.h"
#include "account/CLogWndHad.h"
#include "account/UserSettings.h"
#include "browser/BrowserRuntime.h"
#include "browser/PopupRouter.h"
#include "platform/DpiScale.h"
#include "platform/ExeDir.h"
#include "platform/HostLookup.h"
#include "platform/MessageIds.h"
#include "platform/MessageMap.h"
#include "platform/Process.h"
#include "platform/Prompts.h"
#include "platform/ServiceConfig.h"
#include "platform/SingleInstance.h"
#include "platform/Trace.h"
#include "session/Connection.h"
#include "session/ReceiveLoop.h"
#include "shell/MainSessionEvents.h"
#include "shell/ShellExit.h"
#include "shell/ShellScriptCommands.h"
#include "widgets/CNoticeDialogModel.h"

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
    , m_scriptCommands(std::make_unique<ShellScriptCommands>(*this))
{
    using platform::msg::kPushMessages;
    using platform::msg::kSessionBadMember;
    using platform::msg::kSessionDisplaced;
    using platform::msg::kSessionNotice;
    using platform::msg::kShowMainWindow;
    using platform::msg::kShutdownBrowser;
    m_messages->on(kShowMainWindow, [this](quintptr, const QVariant&) {
        onShowRequest();
        return qintptr(0);
    });
    m_messages->on(kShutdownBrowser, [](quintptr, const QVariant&) {
        platform::Trace::event(QStringLiteral("shutdown-browser"));
        return qintptr(0);
    });
    m_messages->on(kSessionNotice, [](quintptr operation, const QVariant&) {
        platform::Trace::event(QStringLiteral("session-notice"), QString::number(operation));
        return qintptr(0);
    });
    m_messages->on(kSessionDisplaced, [this](quintptr, const QVariant&) {
        onDisplaced();
        return qintptr(0);
    });
    m_messages->on(kSessionBadMember, [this](quintptr, const QVariant&) {
        m_notice->setText(QStringLiteral("发送数据失败，请检查网络连接是否正常."));
        m_notice->DoModal();
        return qintptr(0);
    });
    m_messages->on(kPushMessages, [](quintptr, const QVariant& text) {
        platform::Trace::event(QStringLiteral("push-messages"), QString::fromUtf8(text.toByteArray()));
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
    m_notice = new widgets::CNoticeDialogModel(this);

    // 10-12. The login window; nothing else starts without a login.
    m_logWnd = std::make_unique<account::CLogWnd>(*this, m_user, platform::ExeDir::path(), m_dpiScale);
    m_logWnd->onInitDialog();
    m_logWnd->exec();
    if (!m_logWnd->loggedIn())
        exitShell();
    m_logWnd->saveAccounts();

    // 13. The session from now on: the login's connection and what its buffer still holds.
    startSession();

    // 14. Messages that came with the login go to the news popup.
    if (m_user.hasPendingMessages) {
        m_loginMessages = m_user.pendingMessageList;
        platform::Trace::event(QStringLiteral("login-messages"), QString::number(m_loginMessages.size()));
        m_user.hasPendingMessages = false;
        m_user.pendingMessageList.clear();
    }

    // 28.
    m_initialised = true;
    platform::Trace::event(QStringLiteral("initialised"));
    return true;
}

void CPelmoraDlg::startSession()
{
    m_sessionEvents = std::make_unique<MainSessionEvents>(*m_messages);
    m_receiveLoop = std::make_unique<session::ReceiveLoop>(m_logWnd->takeConnection(), m_serviceAddress,
                                                           sessionPort(), m_user, m_sessionEvents.get());
    m_receiveLoop->start();
    m_exit->setCloseSession([this] { m_receiveLoop->closeConnection(); });
}

void CPelmoraDlg::setStartPage(int page, bool loadWaitOff)
{
    m_startPage = page;
    m_loadWaitOff = loadWaitOff;
}

browser::BrowserRuntime& CPelmoraDlg::browserRuntime()
{
    if (!m_runtime) {
        m_runtime = std::make_unique<browser::BrowserRuntime>(platform::ExeDir::file(QStringLiteral("cache")),
                                                              *m_scriptCommands, this, m_dpiScale);
    }
    return *m_runtime;
}

void CPelmoraDlg::exitShell()
{
    m_exit->exitShell();
}

quint16 CPelmoraDlg::sessionPort() const
{
    return platform::ServiceConfig::sessionPort();
}

void CPelmoraDlg::onPageLoaded(browser::ClientHandler*, const QString& url)
{
    platform::Trace::event(QStringLiteral("page-loaded"), url);
    if (m_logWnd)
        m_logWnd->onPageLoaded(url);
}

void CPelmoraDlg::onPopup(const QString& url)
{
    const browser::PopupRouter router({}, {});
    router.route(url);
}

void CPelmoraDlg::onDisplaced()
{
    platform::Trace::event(QStringLiteral("displaced"));
    account::CLogWndHad question(this);
    question.setLines(QStringLiteral("账号已在另一地点登录"), QStringLiteral("点击\"确定\"输入密码重新登录"),
                      QStringLiteral("点击\"取消\"放弃本次登录"));
    question.DoModal();
    if (question.resultText() == QLatin1String("ok")) {
        account::UserSettings(platform::ExeDir::file(QStringLiteral("UserInfo.ini"))).setLogOut(QStringLiteral("1"));
        m_exit->logOutShell();
    }
    m_exit->exitShell();
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
