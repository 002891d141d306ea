#include "browser/PostingScriptShell.h"

namespace browser {

PostingScriptShell::PostingScriptShell(ScriptShell& target, QObject* context)
    : m_target(target)
    , m_context(context)
{
}

void PostingScriptShell::post(std::function<void(ScriptShell&)> effect)
{
    if (!m_context)
        return;
    ScriptShell* target = &m_target;
    QMetaObject::invokeMethod(
        m_context, [target, effect = std::move(effect)] { effect(*target); }, Qt::QueuedConnection);
}

bool PostingScriptShell::hasMainWindow() const
{
    return m_target.hasMainWindow();
}

QString PostingScriptShell::installedVersionsText()
{
    return m_target.installedVersionsText();
}

QString PostingScriptShell::macAddressText()
{
    return m_target.macAddressText();
}

bool PostingScriptShell::askForceLogin()
{
    return m_target.askForceLogin();
}

void PostingScriptShell::loginStep(const QString& userInfoJson, int keepPassword, int autoLogin)
{
    m_target.loginStep(userInfoJson, keepPassword, autoLogin);
}

void PostingScriptShell::logOutShell()
{
    post([](ScriptShell& shell) { shell.logOutShell(); });
}

void PostingScriptShell::exitShell()
{
    post([](ScriptShell& shell) { shell.exitShell(); });
}

void PostingScriptShell::endMainDialog()
{
    post([](ScriptShell& shell) { shell.endMainDialog(); });
}

void PostingScriptShell::reloadPage(int code)
{
    post([code](ScriptShell& shell) { shell.reloadPage(code); });
}

void PostingScriptShell::cancelAllDownloads(int kind)
{
    post([kind](ScriptShell& shell) { shell.cancelAllDownloads(kind); });
}

void PostingScriptShell::openWithDefaultApp(const QString& target, bool maximised)
{
    post([target, maximised](ScriptShell& shell) { shell.openWithDefaultApp(target, maximised); });
}

void PostingScriptShell::switchPageWithLeaveCheck(int page)
{
    post([page](ScriptShell& shell) { shell.switchPageWithLeaveCheck(page); });
}

void PostingScriptShell::restorePageView()
{
    post([](ScriptShell& shell) { shell.restorePageView(); });
}

void PostingScriptShell::showMessageCentre()
{
    post([](ScriptShell& shell) { shell.showMessageCentre(); });
}

void PostingScriptShell::controlDownload(const QString& appId, int code, int kind)
{
    post([appId, code, kind](ScriptShell& shell) { shell.controlDownload(appId, code, kind); });
}

void PostingScriptShell::installFromList(const QString& list, int mode, int kind)
{
    post([list, mode, kind](ScriptShell& shell) { shell.installFromList(list, mode, kind); });
}

void PostingScriptShell::openOverlay(const QString& url)
{
    post([url](ScriptShell& shell) { shell.openOverlay(url); });
}

void PostingScriptShell::removeSavedAccount(const QString& account)
{
    post([account](ScriptShell& shell) { shell.removeSavedAccount(account); });
}

void PostingScriptShell::refreshUserInfo(const QString& text)
{
    post([text](ScriptShell& shell) { shell.refreshUserInfo(text); });
}

void PostingScriptShell::setCoins(const QString& coins)
{
    post([coins](ScriptShell& shell) { shell.setCoins(coins); });
}

void PostingScriptShell::closeOverlayToFirstPage()
{
    post([](ScriptShell& shell) { shell.closeOverlayToFirstPage(); });
}

void PostingScriptShell::openAppFolder(const QString& appId, int kind, const QString& exeFileName)
{
    post([appId, kind, exeFileName](ScriptShell& shell) { shell.openAppFolder(appId, kind, exeFileName); });
}

void PostingScriptShell::showUserCenterPage(const QString& relativeUrl, const QString& clipboardText)
{
    post([relativeUrl, clipboardText](ScriptShell& shell) { shell.showUserCenterPage(relativeUrl, clipboardText); });
}

void PostingScriptShell::launchApp(const QString& a, const QString& b, const QString& c, const QString& d)
{
    post([a, b, c, d](ScriptShell& shell) { shell.launchApp(a, b, c, d); });
}

void PostingScriptShell::saveSettings(const QString& a, const QString& b, const QString& c, const QString& d)
{
    post([a, b, c, d](ScriptShell& shell) { shell.saveSettings(a, b, c, d); });
}

void PostingScriptShell::requestApp(const AppRequest& app, int mode, int kind)
{
    post([app, mode, kind](ScriptShell& shell) { shell.requestApp(app, mode, kind); });
}

void PostingScriptShell::showScriptMessages(const QString& base64Messages)
{
    post([base64Messages](ScriptShell& shell) { shell.showScriptMessages(base64Messages); });
}

void PostingScriptShell::checkOnLine(const QString& description)
{
    post([description](ScriptShell& shell) { shell.checkOnLine(description); });
}

void PostingScriptShell::closeCurrentDialog(int closeCode)
{
    post([closeCode](ScriptShell& shell) { shell.closeCurrentDialog(closeCode); });
}

void PostingScriptShell::setStartPage(int page, bool loadWaitOff)
{
    post([page, loadWaitOff](ScriptShell& shell) { shell.setStartPage(page, loadWaitOff); });
}

void PostingScriptShell::runInPage(int index, const QString& script)
{
    post([index, script](ScriptShell& shell) { shell.runInPage(index, script); });
}

void PostingScriptShell::showUrlInOverlay(const QString& url)
{
    post([url](ScriptShell& shell) { shell.showUrlInOverlay(url); });
}

void PostingScriptShell::closeWebPage(int closeCode)
{
    post([closeCode](ScriptShell& shell) { shell.closeWebPage(closeCode); });
}

void PostingScriptShell::changePage(int page)
{
    post([page](ScriptShell& shell) { shell.changePage(page); });
}

void PostingScriptShell::setTopData(const QString& text)
{
    post([text](ScriptShell& shell) { shell.setTopData(text); });
}

void PostingScriptShell::showPageDevTools()
{
    post([](ScriptShell& shell) { shell.showPageDevTools(); });
}

} // namespace browser
