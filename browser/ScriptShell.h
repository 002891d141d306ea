#pragma once

#include <QString>

namespace browser {

// A catalogue app as a page requests it.
struct AppRequest
{
    QString id;
    QString name;
    QString exeFileName;
    QString downloadUrl;
    QString versionString;
};

// Everything page script can make the shell do, as the script command dispatcher sees it.
// The shell implements it; tests implement it with a recording fake. Methods that return
// something are answered during the script call; every other effect the bridge posts to run
// after the call has returned (see PostingScriptShell). Receivers ignore calls whose window
// (overlay, web dialog, user panel …) does not exist.
class ScriptShell
{
public:
    virtual ~ScriptShell() = default;

    // --- answered during the call
    virtual bool hasMainWindow() const = 0;
    virtual QString installedVersionsText() = 0;
    virtual QString macAddressText() = 0;
    // The "账号已登陆，是否强制登陆!" question; true when the user confirmed.
    virtual bool askForceLogin() = 0;
    // The login step waits for the session inside the call (it needs only our own threads).
    virtual void loginStep(const QString& userInfoJson, int keepPassword, int autoLogin) = 0;

    // --- effects, run after the call returned, in call order
    virtual void logOutShell() = 0;
    virtual void exitShell() = 0;
    virtual void endMainDialog() = 0;
    // code 0 reloads page 1, 2 page 2, 3 page 3.
    virtual void reloadPage(int code) = 0;
    virtual void cancelAllDownloads(int kind) = 0;
    virtual void openWithDefaultApp(const QString& target, bool maximised) = 0;
    virtual void switchPageWithLeaveCheck(int page) = 0;
    virtual void restorePageView() = 0;
    virtual void showMessageCentre() = 0;
    virtual void controlDownload(const QString& appId, int code, int kind) = 0;
    virtual void installFromList(const QString& list, int mode, int kind) = 0;
    virtual void openOverlay(const QString& url) = 0;
    virtual void removeSavedAccount(const QString& account) = 0;
    virtual void refreshUserInfo(const QString& text) = 0;
    virtual void setCoins(const QString& coins) = 0;
    virtual void closeOverlayToFirstPage() = 0;
    virtual void openAppFolder(const QString& appId, int kind, const QString& exeFileName) = 0;
    virtual void showUserCenterPage(const QString& relativeUrl, const QString& clipboardText) = 0;
    virtual void launchApp(const QString& a, const QString& b, const QString& c, const QString& d) = 0;
    virtual void saveSettings(const QString& a, const QString& b, const QString& c, const QString& d) = 0;
    virtual void requestApp(const AppRequest& app, int mode, int kind) = 0;
    virtual void showScriptMessages(const QString& base64Messages) = 0;
    virtual void checkOnLine(const QString& description) = 0;
    virtual void closeCurrentDialog(int closeCode) = 0;
    virtual void setStartPage(int page, bool loadWaitOff) = 0;
    // Runs the script in page browser `index` (1-5); other indexes do nothing.
    virtual void runInPage(int index, const QString& script) = 0;
    virtual void showUrlInOverlay(const QString& url) = 0;
    virtual void closeWebPage(int closeCode) = 0;
    virtual void changePage(int page) = 0;
    virtual void setTopData(const QString& text) = 0;
    virtual void showPageDevTools() = 0;
};

} // namespace browser
