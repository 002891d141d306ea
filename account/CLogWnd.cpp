#include "account/CLogWnd.h"

#include "account/CLogWndHad.h"
#include "account/CacheClearMarker.h"
#include "account/LoginHost.h"
#include "account/UserInfoReader.h"
#include "browser/BrowserRuntime.h"
#include "browser/ClientHandler.h"
#include "browser/KavrenView.h"
#include "browser/PageCalls.h"
#include "platform/DpiScale.h"
#include "platform/LiveWait.h"
#include "platform/MacAddress.h"
#include "platform/Prompts.h"
#include "platform/ServiceConfig.h"
#include "platform/Trace.h"
#include "session/BuildLoginCommand.h"
#include "session/ConnectWorker.h"
#include "session/Connection.h"
#include "session/CurrentUser.h"
#include "session/Protocol.h"
#include "session/ReadResult.h"
#include "widgets/CNoticeDialogModel.h"
#include "widgets/CTraButton.h"
#include "widgets/LoadPngImage.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QSystemTrayIcon>

namespace account {

namespace {

const QColor kFrameColour(161, 161, 161);

} // namespace

CLogWnd::CLogWnd(LoginHost& host, session::CurrentUser& user, const QString& exeDir, double dpiScale,
                 QWidget* parent)
    : widgets::SkinnedDialog(parent)
    , m_host(host)
    , m_user(user)
    , m_exeDir(exeDir)
    , m_scale(dpiScale)
    , m_accounts(exeDir + QStringLiteral("/UserInfo.json"))
    , m_settings(exeDir + QStringLiteral("/UserInfo.ini"))
{
}

CLogWnd::~CLogWnd()
{
    removeTrayIcon();
}

int CLogWnd::px(int pixels) const
{
    return platform::DpiScale::scaled(pixels, m_scale);
}

void CLogWnd::onInitDialog()
{
    setWindowTitle(QStringLiteral("Kavren工具箱登录页面"));
    setWindowIcon(QApplication::windowIcon());

    // The accounts first, then the cache marker: the browser must not have opened the cache yet.
    m_accounts.load();
    CacheClearMarker::consume(m_exeDir + QStringLiteral("/clrCache.txt"), m_exeDir + QStringLiteral("/cache"));

    m_scale = platform::DpiScale::compute();
    resize(px(373), px(408));

    browser::BrowserRuntime& runtime = m_host.browserRuntime();
    m_handler = new browser::ClientHandler(runtime, this);
    const QRect browserRect(1, px(60), px(371) - 1, px(406) - px(60));
    m_handler->createBrowser(this, browserRect, platform::ServiceConfig::pageUrl(QLatin1String(platform::pages::kLogin)));

    widgets::LoadPngImage(m_header, 149);

    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray = new QSystemTrayIcon(QApplication::windowIcon(), this);
        m_tray->setToolTip(QStringLiteral("Kavren工具箱"));
        m_tray->show();
    }

    m_loggedOut = m_settings.logOut();
    m_settings.setLogOut(QStringLiteral("0"));

    QPainterPath rounded;
    rounded.addRoundedRect(QRectF(rect()), m_scale, m_scale);
    setMask(QRegion(rounded.toFillPolygon().toPolygon()));

    m_close = new widgets::CTraButton(this);
    m_close->setGeometry(width() - px(30), px(10), px(11), px(15));
    m_close->LoadStateImages(155, 11);
    m_close->setObjectName(QStringLiteral("closeButton"));
    connect(m_close, &QAbstractButton::clicked, this, [this] {
        removeTrayIcon();
        m_host.exitShell();
    });
    m_minimise = new widgets::CTraButton(this);
    m_minimise->setGeometry(width() - px(50), px(10), px(11), px(15));
    m_minimise->LoadStateImages(156, 11);
    m_minimise->setObjectName(QStringLiteral("minimiseButton"));
    connect(m_minimise, &QAbstractButton::clicked, this, &QWidget::showMinimized);

    m_notice = new widgets::CNoticeDialogModel(this);
    platform::Trace::event(QStringLiteral("login-window"), QStringLiteral("logged-out=") + m_loggedOut);
}

void CLogWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int w = width();
    const int h = height();
    painter.fillRect(rect(), Qt::white);
    if (!m_header.isNull())
        painter.drawImage(QRect(0, 0, w, px(60)), m_header);
    painter.setPen(kFrameColour);
    const int top = px(60);
    const int bottom = h - px(2);
    const int right = w - px(2);
    painter.drawLine(0, top, 0, bottom);
    painter.drawLine(0, bottom, right, bottom);
    painter.drawLine(right, bottom, right, top);
}

void CLogWnd::keyPressEvent(QKeyEvent* event)
{
    // Enter must not end the dialog, nor Esc: the window ends by logging in or by its X.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    widgets::SkinnedDialog::keyPressEvent(event);
}

void CLogWnd::onPageLoaded(const QString& url)
{
    if (m_bound || !url.contains(QLatin1String("/Account/Login")))
        return;
    m_bound = true;
    const QByteArray json = SavedAccountStore::bindJson(m_accounts.accounts(), m_loggedOut);
    runScript(browser::PageCalls::bind(QString::fromUtf8(json)));
}

void CLogWnd::runScript(const QString& script)
{
    if (m_handler)
        m_handler->executeScript(script);
}

void CLogWnd::removeTrayIcon()
{
    if (m_tray) {
        m_tray->hide();
        delete m_tray;
        m_tray = nullptr;
    }
}

void CLogWnd::removeAccount(const QString& account)
{
    m_accounts.remove(account);
}

bool CLogWnd::saveAccounts() const
{
    return m_accounts.save(m_user, m_keepPassword, m_autoLogin);
}

std::unique_ptr<session::Connection> CLogWnd::takeConnection()
{
    if (!m_worker)
        return nullptr;
    std::unique_ptr<session::Connection> connection = m_worker->takeConnection();
    m_worker.reset();
    return connection;
}

void CLogWnd::loginStep(const QString& userInfoJson, int keepPassword, int autoLogin)
{
    // The page waits in its call; a second call cannot come from it, but guard anyway.
    if (m_inLoginStep || m_loggedIn)
        return;
    m_inLoginStep = true;
    platform::Trace::event(QStringLiteral("login-step"));

    m_keepPassword = keepPassword == 1 ? QStringLiteral("1") : QStringLiteral("0");
    m_autoLogin = autoLogin == 1 ? QStringLiteral("1") : QStringLiteral("0");
    UserInfoReader::read(userInfoJson.toUtf8(), m_user);
    const QString mac = platform::MacAddress::text();
    // Remembered before the connection is tried, so the account is kept even if this login fails.
    saveAccounts();
    m_settings.setMip(mac);
    removeTrayIcon();

    // A new attempt: the previous one's connection (if any) goes with its worker.
    m_worker.reset();
    m_record = session::SessionRecord::forLogin(session::protocol::kNormalLogin, m_user.phone, mac);
    std::shared_ptr<session::ConnectWorker> worker = session::ConnectWorker::start(
        m_host.serviceAddress(), m_host.sessionPort(), session::BuildLoginCommand(m_record, m_user));

    bool connected = false;
    platform::LiveWait::run([&] { connected = worker->wait(session::protocol::kLoginConnectWaitMs); });
    if (!connected) {
        worker->abandon();
        platform::Trace::event(QStringLiteral("login-connect-timeout"));
        runScript(browser::PageCalls::errorTip(QString::fromUtf8(kConnectFailedMessage)));
        m_loggedIn = false;
        m_inLoginStep = false;
        return;
    }

    QByteArray answer;
    int read = -1;
    platform::LiveWait::run([&] { read = worker->readLoginAnswer(&answer, session::protocol::kLoginAnswerWaitMs); });
    if (read < 0) {
        worker->abandon();
        platform::Trace::event(QStringLiteral("login-read-failed"));
        runScript(browser::PageCalls::loginError());
        m_loggedIn = false;
        m_inLoginStep = false;
        return;
    }
    m_worker = worker;
    if (read > 0)
        loginAnswer(answer);

    m_loggedIn = true;
    m_inLoginStep = false;
    platform::Trace::event(QStringLiteral("logged-in"), m_user.phone);
    reject(); // the main window looks only at loggedIn()
}

void CLogWnd::loginAnswer(const QByteArray& payload)
{
    if (m_record.copyFrom(payload) == session::ReadResult::BadMember) {
        m_notice->setText(QStringLiteral("解析数据失败，请检查网络连接是否正常."));
        m_notice->DoModal();
    }

    if (m_record.operation == session::protocol::kLoggedInElsewhere) {
        const QString choice = platform::Prompts::messageBox(
            this, QStringLiteral("Kavren工具箱"),
            QStringLiteral("账号已在另一地点登录，点击\"确定\"输入密码重新登录！\r\n点击\"取消\"放弃本次登录。"),
            platform::Prompts::Buttons::OkCancel);
        if (choice == QLatin1String("ok"))
            hide();
        return;
    }
    if (m_record.loginResult == 0) {
        CLogWndHad question(this);
        question.setLines(QStringLiteral("账号已在另一地点登录"), QStringLiteral("点击\"确定\"强制登录工具箱"),
                          QStringLiteral("点击\"取消\"放弃本次登录"));
        question.DoModal();
        if (question.resultText() != QLatin1String("ok")) {
            platform::Trace::event(QStringLiteral("forced-login-declined"));
            m_host.exitShell();
        }
        m_record.operation = session::protocol::kForcedLogin;
        if (session::Connection* connection = m_worker->connection())
            connection->sendCommand(session::BuildLoginCommand(m_record, m_user));
        platform::Trace::event(QStringLiteral("forced-login-sent"));
    }
}

} // namespace account
