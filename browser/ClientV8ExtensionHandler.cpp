#include "browser/ClientV8ExtensionHandler.h"

#include "browser/PageCalls.h"
#include "browser/ScriptShell.h"
#include "platform/ServiceConfig.h"

#include <limits>

namespace browser {

namespace {

// Selector 0 stands for the first app list (kind 1), selector 1 for the second (kind 2).
int kindOf(quint32 selector)
{
    return selector == 0 ? 1 : 2;
}

} // namespace

ClientV8ExtensionHandler::ClientV8ExtensionHandler(ScriptShell& shell)
    : m_shell(shell)
{
}

int ClientV8ExtensionHandler::leadingInteger(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text.at(i).unicode() - '0');
        if (value > std::numeric_limits<int>::max())
            return negative ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    }
    return static_cast<int>(negative ? -value : value);
}

QString ClientV8ExtensionHandler::buildContextScript(const QString& function, const ScriptArgs& args,
                                                     int firstArgument)
{
    QString script = function + QLatin1Char('(');
    for (int i = firstArgument; i < args.size(); ++i)
        script += args.at(i).text() + QLatin1Char(',');
    const qsizetype comma = script.lastIndexOf(QLatin1Char(','));
    if (comma >= 0)
        script.truncate(comma);
    return script + QLatin1Char(')');
}

BridgeAnswer ClientV8ExtensionHandler::execute(const QString& name, const ScriptArgs& args)
{
    const auto count = args.size();
    if (name == QLatin1String("CB_CustomFunction")) {
        customFunction(args);
        return BridgeAnswer::undefined(true);
    }
    if (name == QLatin1String("GetSoftVersion")) {
        if (!m_shell.hasMainWindow())
            return BridgeAnswer::undefined(true);
        return BridgeAnswer::string(PageCalls::base64Utf8(m_shell.installedVersionsText()));
    }
    if (name == QLatin1String("ShowMessage")) {
        if (count == 1 && !args.at(0).text().isEmpty())
            m_shell.showScriptMessages(args.at(0).text());
        return BridgeAnswer::undefined(false);
    }
    if (name == QLatin1String("ForceLogin"))
        return BridgeAnswer::number(m_shell.askForceLogin() ? 1 : 0);
    if (name == QLatin1String("ClosePelmora")) {
        m_shell.exitShell();
        return BridgeAnswer::undefined(false);
    }
    if (name == QLatin1String("CheckOnLine")) {
        if (count >= 1 && !args.at(0).isNull() && !args.at(0).text().isEmpty())
            m_shell.checkOnLine(args.at(0).text());
        return BridgeAnswer::undefined(false);
    }
    if (name == QLatin1String("GetMacAddressInfo"))
        return BridgeAnswer::string(m_shell.macAddressText());
    if (name == QLatin1String("CloseCurrentDlg")) {
        if (count == 1)
            m_shell.closeCurrentDialog(args.at(0).toInt());
        return BridgeAnswer::undefined(false);
    }
    if (name == QLatin1String("Login")) {
        if (count == 5) {
            m_shell.loginStep(args.at(0).text(), leadingInteger(args.at(1).text()), leadingInteger(args.at(2).text()));
            m_shell.setStartPage(args.at(3).toInt(), !args.at(4).toBool());
        }
        return BridgeAnswer::undefined(false);
    }
    if (name == QLatin1String("ExJs")) {
        // Questions to pages are answered by the engine's own script results; there is no
        // pending evaluation for a page to run, whatever number it passes.
        return BridgeAnswer::undefined(false);
    }
    if (name == QLatin1String("CB_ExJsWithContext")) {
        if (count >= 2)
            m_shell.runInPage(args.at(0).toInt(), buildContextScript(args.at(1).text(), args, 2));
        return BridgeAnswer::undefined(false);
    }
    if (name == QLatin1String("OpenUrl")) {
        if (count == 2) {
            const int mode = args.at(1).toInt();
            if (mode == 1)
                m_shell.showUrlInOverlay(args.at(0).text());
            else if (mode == 2)
                m_shell.openWithDefaultApp(args.at(0).text(), false);
        }
        return BridgeAnswer::undefined(false);
    }
    if (name == QLatin1String("CloseWebPage")) {
        if (count == 1)
            m_shell.closeWebPage(args.at(0).toInt());
        return BridgeAnswer::undefined(false);
    }
    if (name == QLatin1String("ChangePage")) {
        if (count == 1)
            m_shell.changePage(args.at(0).toInt());
        return BridgeAnswer::undefined(false);
    }
    if (name == QLatin1String("SetTopData")) {
        if (count == 1)
            m_shell.setTopData(args.at(0).text());
        return BridgeAnswer::undefined(false);
    }
    if (name == QLatin1String("ShowDevTools")) {
        m_shell.showPageDevTools();
        return BridgeAnswer::undefined(false);
    }
    return BridgeAnswer::undefined(false);
}

void ClientV8ExtensionHandler::customFunction(const ScriptArgs& args)
{
    const auto count = args.size();
    if (count == 0)
        return;
    if (count == 1) {
        const quint32 code = args.at(0).toUInt();
        if (code == 1)
            m_shell.logOutShell();
        else if (code == 2)
            m_shell.exitShell();
        return;
    }

    const ScriptValue& selectorValue = args.at(count - 1);
    const quint32 selector = selectorValue.toUInt();
    const ScriptValue& codeValue = args.at(count - 2);
    const quint32 code = codeValue.toUInt();
    const int signedCode = codeValue.toInt();

    switch (count) {
    case 2:
        switch (selector) {
        case 0:
            if (code == 0)
                m_shell.reloadPage(0);
            else if (code == 20)
                m_shell.cancelAllDownloads(1);
            break;
        case 1:
            if (code == 20)
                m_shell.cancelAllDownloads(2);
            break;
        case 2:
            if (codeValue.text().size() > 4)
                m_shell.openWithDefaultApp(codeValue.text(), false);
            else if (code == 0)
                m_shell.reloadPage(2);
            break;
        case 3:
            if (code == 0)
                m_shell.reloadPage(3);
            break;
        case 5:
            if (code == 1)
                m_shell.endMainDialog();
            break;
        case 6:
            if (code == 0)
                m_shell.switchPageWithLeaveCheck(5);
            else if (code == 1)
                m_shell.restorePageView();
            else if (code == 3)
                m_shell.showMessageCentre();
            break;
        default:
            break;
        }
        return;
    case 3: {
        const QString s = args.at(0).text();
        if (selector == 0 || selector == 1) {
            if (code == 3 || code == 4 || code == 5)
                m_shell.controlDownload(s, static_cast<int>(code), kindOf(selector));
            else if (code == 21 || code == 22)
                m_shell.installFromList(s, code == 21 ? 0 : 2, kindOf(selector));
        }
        if (selector == 0) {
            if (code == 0)
                m_shell.openWithDefaultApp(s, true);
            else if (code == 25)
                m_shell.openOverlay(platform::ServiceConfig::pageUrl(s));
        } else if (selector == 4) {
            if (signedCode == 1)
                m_shell.removeSavedAccount(s);
            else if (signedCode == 2)
                m_shell.refreshUserInfo(s);
            else if (signedCode == 3)
                m_shell.setCoins(QString::number(args.at(0).toInt()));
        } else if (selector == 6) {
            if (signedCode == 1)
                m_shell.openWithDefaultApp(s, true);
            else if (signedCode == 2)
                m_shell.closeOverlayToFirstPage();
            else if (signedCode == 3)
                m_shell.openOverlay(s);
        }
        return;
    }
    case 4:
        if ((selector == 0 || selector == 1) && code == 11)
            m_shell.openAppFolder(args.at(0).text(), kindOf(selector), args.at(1).text());
        else if (selector == 6 && code == 0)
            m_shell.showUserCenterPage(args.at(0).text(), args.at(1).text());
        return;
    case 5:
        if (selector == 4)
            m_shell.loginStep(args.at(0).text(), leadingInteger(args.at(1).text()), leadingInteger(args.at(2).text()));
        return;
    case 6:
        if (selector == 0 && code == 1)
            m_shell.launchApp(args.at(0).text(), args.at(1).text(), args.at(2).text(), args.at(3).text());
        else if (selector == 5)
            m_shell.saveSettings(args.at(0).text(), args.at(1).text(), args.at(2).text(), args.at(3).text());
        return;
    case 7:
        if (selector == 0 || selector == 1) {
            int mode = -1;
            if (code == 0)
                mode = 0;
            else if (code == 2)
                mode = 2;
            else if (code == 6)
                mode = 3;
            else if (code == 10)
                mode = 4;
            if (mode >= 0) {
                const AppRequest app{args.at(0).text(), args.at(1).text(), args.at(2).text(), args.at(3).text(),
                                     args.at(4).text()};
                m_shell.requestApp(app, mode, kindOf(selector));
            }
        }
        return;
    default:
        return;
    }
}

} // namespace browser
