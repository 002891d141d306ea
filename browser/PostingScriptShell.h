#pragma once

#include "browser/ScriptShell.h"

#include <QObject>
#include <QPointer>

#include <functional>

namespace browser {

// Sits between the dispatcher and the shell while a page waits in a bridge call. Answers and
// the login step reach the shell at once; every other effect is queued to the GUI thread and
// runs after the call has returned, in the order the commands came. Inside the call the
// engine runs no page work, so an effect that asks a page a question must not run there.
class PostingScriptShell : public ScriptShell
{
public:
    // `context` decides the thread and lifetime of queued effects (they are dropped with it).
    PostingScriptShell(ScriptShell& target, QObject* context);

    bool hasMainWindow() const override;
    QString installedVersionsText() override;
    QString macAddressText() override;
    bool askForceLogin() override;
    void loginStep(const QString& userInfoJson, int keepPassword, int autoLogin) override;

    void logOutShell() override;
    void exitShell() override;
    void endMainDialog() override;
    void reloadPage(int code) override;
    void cancelAllDownloads(int kind) override;
    void openWithDefaultApp(const QString& target, bool maximised) override;
    void switchPageWithLeaveCheck(int page) override;
    void restorePageView() override;
    void showMessageCentre() override;
    void controlDownload(const QString& appId, int code, int kind) override;
    void installFromList(const QString& list, int mode, int kind) override;
    void openOverlay(const QString& url) override;
    void removeSavedAccount(const QString& account) override;
    void refreshUserInfo(const QString& text) override;
    void setCoins(const QString& coins) override;
    void closeOverlayToFirstPage() override;
    void openAppFolder(const QString& appId, int kind, const QString& exeFileName) override;
    void showUserCenterPage(const QString& relativeUrl, const QString& clipboardText) override;
    void launchApp(const QString& a, const QString& b, const QString& c, const QString& d) override;
    void saveSettings(const QString& a, const QString& b, const QString& c, const QString& d) override;
    void requestApp(const AppRequest& app, int mode, int kind) override;
    void showScriptMessages(const QString& base64Messages) override;
    void checkOnLine(const QString& description) override;
    void closeCurrentDialog(int closeCode) override;
    void setStartPage(int page, bool loadWaitOff) override;
    void runInPage(int index, const QString& script) override;
    void showUrlInOverlay(const QString& url) override;
    void closeWebPage(int closeCode) override;
    void changePage(int page) override;
    void setTopData(const QString& text) override;
    void showPageDevTools() override;

private:
    void post(std::function<void(ScriptShell&)> effect);

    ScriptShell& m_target;
    QPointer<QObject> m_context;
};

} // namespace browser
