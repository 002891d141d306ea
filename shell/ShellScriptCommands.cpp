#include "shell/ShellScriptCommands.h"

#include "account/CLogWnd.h"
#include "applib/VersionRecords.h"
#include "platform/DesktopOpen.h"
#include "platform/ExeDir.h"
#include "platform/MacAddress.h"
#include "platform/Trace.h"
#include "shell/CPelmoraDlg.h"
#include "shell/ShellExit.h"
#include "widgets/CNoticeTwoSelect.h"

namespace shell {

ShellScriptCommands::ShellScriptCommands(CPelmoraDlg& main)
    : m_main(main)
{
}

void ShellScriptCommands::notYetServed(const char* command)
{
    platform::Trace::event(QStringLiteral("script-command"), QString::fromLatin1(command));
}

bool ShellScriptCommands::hasMainWindow() const
{
    return true;
}

QString ShellScriptCommands::installedVersionsText()
{
    return applib::VersionRecords::installedVersionsText(platform::ExeDir::path());
}

QString ShellScriptCommands::macAddressText()
{
    return platform::MacAddress::text();
}

bool ShellScriptCommands::askForceLogin()
{
    widgets::CNoticeTwoSelect question(&m_main);
    question.setText(QStringLiteral("账号已登陆，是否强制登陆!"));
    question.DoModal();
    return question.resultText() == QLatin1String("ok");
}

void ShellScriptCommands::loginStep(const QString& userInfoJson, int keepPassword, int autoLogin)
{
    if (account::CLogWnd* login = m_main.loginWindow())
        login->loginStep(userInfoJson, keepPassword, autoLogin);
}

void ShellScriptCommands::logOutShell()
{
    m_main.shellExit().logOutShell();
}

void ShellScriptCommands::exitShell()
{
    m_main.shellExit().exitShell();
}

void ShellScriptCommands::endMainDialog()
{
    m_main.reject();
}

void ShellScriptCommands::reloadPage(int)
{
    notYetServed("reloadPage");
}

void ShellScriptCommands::cancelAllDownloads(int)
{
    notYetServed("cancelAllDownloads");
}

void ShellScriptCommands::openWithDefaultApp(const QString& target, bool)
{
    platform::DesktopOpen::open(target);
}

void ShellScriptCommands::switchPageWithLeaveCheck(int)
{
    notYetServed("switchPageWithLeaveCheck");
}

void ShellScriptCommands::restorePageView()
{
    notYetServed("restorePageView");
}

void ShellScriptCommands::showMessageCentre()
{
    notYetServed("showMessageCentre");
}

void ShellScriptCommands::controlDownload(const QString&, int, int)
{
    notYetServed("controlDownload");
}

void ShellScriptCommands::installFromList(const QString&, int, int)
{
    notYetServed("installFromList");
}

void ShellScriptCommands::openOverlay(const QString&)
{
    notYetServed("openOverlay");
}

void ShellScriptCommands::removeSavedAccount(const QString& account)
{
    if (account::CLogWnd* login = m_main.loginWindow())
        login->removeAccount(account);
}

void ShellScriptCommands::refreshUserInfo(const QString&)
{
    notYetServed("refreshUserInfo");
}

void ShellScriptCommands::setCoins(const QString&)
{
    notYetServed("setCoins");
}

void ShellScriptCommands::closeOverlayToFirstPage()
{
    notYetServed("closeOverlayToFirstPage");
}

void ShellScriptCommands::openAppFolder(const QString&, int, const QString&)
{
    notYetServed("openAppFolder");
}

void ShellScriptCommands::showUserCenterPage(const QString&, const QString&)
{
    notYetServed("showUserCenterPage");
}

void ShellScriptCommands::launchApp(const QString&, const QString&, const QString&, const QString&)
{
    notYetServed("launchApp");
}

void ShellScriptCommands::saveSettings(const QString&, const QString&, const QString&, const QString&)
{
    notYetServed("saveSettings");
}

void ShellScriptCommands::requestApp(const browser::AppRequest&, int, int)
{
    notYetServed("requestApp");
}

void ShellScriptCommands::showScriptMessages(const QString&)
{
    notYetServed("showScriptMessages");
}

void ShellScriptCommands::checkOnLine(const QString&)
{
    notYetServed("checkOnLine");
}

void ShellScriptCommands::closeCurrentDialog(int)
{
    notYetServed("closeCurrentDialog");
}

void ShellScriptCommands::setStartPage(int page, bool loadWaitOff)
{
    m_main.setStartPage(page, loadWaitOff);
}

void ShellScriptCommands::runInPage(int, const QString&)
{
    notYetServed("runInPage");
}

void ShellScriptCommands::showUrlInOverlay(const QString&)
{
    notYetServed("showUrlInOverlay");
}

void ShellScriptCommands::closeWebPage(int)
{
    notYetServed("closeWebPage");
}

void ShellScriptCommands::changePage(int)
{
    notYetServed("changePage");
}

void ShellScriptCommands::setTopData(const QString&)
{
    notYetServed("setTopData");
}

void ShellScriptCommands::showPageDevTools()
{
    notYetServed("showPageDevTools");
}

} // namespace shell
