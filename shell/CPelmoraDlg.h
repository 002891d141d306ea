#pragma once

#include "account/LoginHost.h"
#include "browser/BrowserEvents.h"
#include "session/CurrentUser.h"

#include <QDialog>
#include <QString>

#include <memory>

namespace platform {
class MessageMap;
class SingleInstance;
} // namespace platform
namespace account {
class CLogWnd;
}
namespace browser {
class BrowserRuntime;
}
namespace session {
class ReceiveLoop;
}
namespace widgets {
class CNoticeDialogModel;
}

namespace shell {

class MainSessionEvents;
class ShellExit;
class ShellScriptCommands;

// The shell's main dialog. Its initialisation is the start-up spine: executable folder,
// service address, single instance, the "/start" check, display scale, then the login window;
// only a successful login lets the main window's own set-up go on (accounts saved, the session
// received on its own thread).
class CPelmoraDlg : public QDialog, public account::LoginHost, public browser::BrowserEvents
{
    Q_OBJECT
public:
    explicit CPelmoraDlg(QWidget* parent = nullptr);
    ~CPelmoraDlg() override;

    // Runs the start-up steps. Early exits end the process; returns true when the dialog is ready.
    bool onInitDialog();

    platform::MessageMap* messages() const { return m_messages; }
    ShellExit& shellExit() { return *m_exit; }
    double dpiScale() const { return m_dpiScale; }
    int startPage() const { return m_startPage; }
    bool loadWaitOff() const { return m_loadWaitOff; }
    void setStartPage(int page, bool loadWaitOff);
    account::CLogWnd* loginWindow() const { return m_logWnd.get(); }
    session::CurrentUser& currentUser() { return m_user; }

    // LoginHost
    browser::BrowserRuntime& browserRuntime() override;
    [[noreturn]] void exitShell() override;
    QString serviceAddress() const override { return m_serviceAddress; }
    quint16 sessionPort() const override;

    // BrowserEvents
    void onPageLoaded(browser::ClientHandler* handler, const QString& url) override;
    void onPopup(const QString& url) override;

private:
    void onShowRequest();
    void onDisplaced();
    void startSession();

    platform::MessageMap* m_messages;
    std::unique_ptr<ShellExit> m_exit;
    std::unique_ptr<platform::SingleInstance> m_instance;
    std::unique_ptr<ShellScriptCommands> m_scriptCommands;
    std::unique_ptr<browser::BrowserRuntime> m_runtime;
    std::unique_ptr<account::CLogWnd> m_logWnd;
    std::unique_ptr<MainSessionEvents> m_sessionEvents;
    std::unique_ptr<session::ReceiveLoop> m_receiveLoop;
    widgets::CNoticeDialogModel* m_notice = nullptr;
    session::CurrentUser m_user;
    QString m_serviceAddress;
    QByteArray m_loginMessages;
    double m_dpiScale = 1.0;
    int m_isShown = 0;
    int m_startPage = 1;
    bool m_loadWaitOff = false;
    bool m_initialised = false;
};

} // namespace shell
