#pragma once

#include "browser/ScriptShell.h"

namespace shell {

class CPelmoraDlg;

// The shell's side of the script commands: what page script makes the shell do. Commands
// whose windows the shell does not have yet (overlay, web dialog, user panel, app library …)
// are traced and otherwise do nothing.
class ShellScriptCommands : public browser::ScriptShell
{
public:
    explicit ShellScriptCommands(CPelmoraDlg& main);

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
    void requestApp(const browser::AppRequest& app, int mode, int kind) override;
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
    // A command whose receiving window the shell does not have yet.
    static void notYetServed(const char* command);

    CPelmoraDlg& m_main;
};

} // namespace shell
