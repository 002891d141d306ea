#pragma once

#include "account/SavedAccountStore.h"
#include "account/UserSettings.h"
#include "session/SessionRecord.h"
#include "browser/ClientHandler.h"
#include "widgets/SkinnedDialog.h"

#include <QImage>
#include <QPointer>

#include <memory>

class QSystemTrayIcon;

namespace browser {
class ClientHandler;
}
namespace session {
class Connection;
class ConnectWorker;
struct CurrentUser;
} // namespace session
namespace widgets {
class CNoticeDialogModel;
class CTraButton;
} // namespace widgets

namespace account {

class LoginHost;

// The login window: hosts the service's login page, which collects account and password and
// hands the user's data over through the "Login" command. The login step then remembers the
// account, opens the session, sends the login command and waits for the answer, offering a
// forced login when the account is in use elsewhere. A completed login ends the dialog with
// loggedIn() true; the connection is then taken over by the main window.
class CLogWnd : public widgets::SkinnedDialog
{
    Q_OBJECT
public:
    static constexpr const char* kConnectFailedMessage = "连接Kavren工具箱服务失败，请检测网络连接是否正常！";

    CLogWnd(LoginHost& host, session::CurrentUser& user, const QString& exeDir, double dpiScale,
            QWidget* parent = nullptr);
    ~CLogWnd() override;

    // The window's start: saved accounts, cache marker, size, browser with the login page,
    // header, tray icon, the LogOut setting, region and buttons.
    void onInitDialog();

    bool loggedIn() const { return m_loggedIn; }
    browser::ClientHandler* handler() const { return m_handler; }
    const QString& loggedOutText() const { return m_loggedOut; }
    const QString& keepPassword() const { return m_keepPassword; }
    const QString& autoLogin() const { return m_autoLogin; }
    const session::SessionRecord& record() const { return m_record; }

    // A main frame finished loading in some browser; the first login page gets the accounts.
    void onPageLoaded(const QString& url);
    // The "Login" command: runs inside the page's call, which stays blocked until it returns;
    // the windows stay live meanwhile.
    void loginStep(const QString& userInfoJson, int keepPassword, int autoLogin);
    // The login page's "remove this account".
    void removeAccount(const QString& account);
    // Writes "UserInfo.json" with the current account first.
    bool saveAccounts() const;
    // Hands the session connection (with what its buffer holds) to the main window.
    std::unique_ptr<session::Connection> takeConnection();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Handles the first command read after the login request.
    void loginAnswer(const QByteArray& payload);
    void removeTrayIcon();
    void runScript(const QString& script);
    int px(int pixels) const;

    LoginHost& m_host;
    session::CurrentUser& m_user;
    const QString m_exeDir;
    double m_scale;
    SavedAccountStore m_accounts;
    UserSettings m_settings;
    session::SessionRecord m_record;
    std::shared_ptr<session::ConnectWorker> m_worker; // the current attempt's connection
    QString m_keepPassword = QStringLiteral("0");
    QString m_autoLogin = QStringLiteral("0");
    QString m_loggedOut = QStringLiteral("0");
    QImage m_header;
    QPointer<browser::ClientHandler> m_handler;
    widgets::CTraButton* m_close = nullptr;
    widgets::CTraButton* m_minimise = nullptr;
    widgets::CNoticeDialogModel* m_notice = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    bool m_bound = false;
    bool m_loggedIn = false;
    bool m_inLoginStep = false;
};

} // namespace account
