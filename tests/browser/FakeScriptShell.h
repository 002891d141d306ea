#pragma once

#include "browser/ScriptShell.h"

#include <QStringList>

#include <functional>

// Records every call the dispatcher makes as one text "name(arg,arg)".
class FakeScriptShell : public browser::ScriptShell
{
public:
    QStringList calls;
    bool mainWindow = true;
    QString versions = QStringLiteral("null\n");
    QString mac = QStringLiteral("0A-1B-2C-3D-4E-5F");
    std::function<bool()> forceLoginAnswer = [] { return true; };
    std::function<void(const QString&)> onCall;

    bool hasMainWindow() const override { return mainWindow; }
    QString installedVersionsText() override { return versions; }
    QString macAddressText() override { return mac; }
    bool askForceLogin() override
    {
        record(QStringLiteral("askForceLogin()"));
        return forceLoginAnswer();
    }
    void loginStep(const QString& json, int keep, int autoLogin) override
    {
        record(QStringLiteral("loginStep(%1,%2,%3)").arg(json).arg(keep).arg(autoLogin));
    }
    void logOutShell() override { record(QStringLiteral("logOutShell()")); }
    void exitShell() override { record(QStringLiteral("exitShell()")); }
    void endMainDialog() override { record(QStringLiteral("endMainDialog()")); }
    void reloadPage(int code) override { record(QStringLiteral("reloadPage(%1)").arg(code)); }
    void cancelAllDownloads(int kind) override { record(QStringLiteral("cancelAllDownloads(%1)").arg(kind)); }
    void openWithDefaultApp(const QString& target, bool maximised) override
    {
        record(QStringLiteral("openWithDefaultApp(%1,%2)").arg(target).arg(maximised ? 1 : 0));
    }
    void switchPageWithLeaveCheck(int page) override
    {
        record(QStringLiteral("switchPageWithLeaveCheck(%1)").arg(page));
    }
    void restorePageView() override { record(QStringLiteral("restorePageView()")); }
    void showMessageCentre() override { record(QStringLiteral("showMessageCentre()")); }
    void controlDownload(const QString& id, int code, int kind) override
    {
        record(QStringLiteral("controlDownload(%1,%2,%3)").arg(id).arg(code).arg(kind));
    }
    void installFromList(const QString& list, int mode, int kind) override
    {
        record(QStringLiteral("installFromList(%1,%2,%3)").arg(list).arg(mode).arg(kind));
    }
    void openOverlay(const QString& url) override { record(QStringLiteral("openOverlay(%1)").arg(url)); }
    void removeSavedAccount(const QString& a) override { record(QStringLiteral("removeSavedAccount(%1)").arg(a)); }
    void refreshUserInfo(const QString& t) override { record(QStringLiteral("refreshUserInfo(%1)").arg(t)); }
    void setCoins(const QString& c) override { record(QStringLiteral("setCoins(%1)").arg(c)); }
    void closeOverlayToFirstPage() override { record(QStringLiteral("closeOverlayToFirstPage()")); }
    void openAppFolder(const QString& id, int kind, const QString& exe) override
    {
        record(QStringLiteral("openAppFolder(%1,%2,%3)").arg(id).arg(kind).arg(exe));
    }
    void showUserCenterPage(const QString& url, const QString& clip) override
    {
        record(QStringLiteral("showUserCenterPage(%1,%2)").arg(url, clip));
    }
    void launchApp(const QString& a, const QString& b, const QString& c, const QString& d) override
    {
        record(QStringLiteral("launchApp(%1,%2,%3,%4)").arg(a, b, c, d));
    }
    void saveSettings(const QString& a, const QString& b, const QString& c, const QString& d) override
    {
        record(QStringLiteral("saveSettings(%1,%2,%3,%4)").arg(a, b, c, d));
    }
    void requestApp(const browser::AppRequest& app, int mode, int kind) override
    {
        record(QStringLiteral("requestApp(%1,%2,%3,%4,%5,%6,%7)")
                   .arg(app.id, app.name, app.exeFileName, app.downloadUrl, app.versionString)
                   .arg(mode)
                   .arg(kind));
    }
    void showScriptMessages(const QString& m) override { record(QStringLiteral("showScriptMessages(%1)").arg(m)); }
    void checkOnLine(const QString& d) override { record(QStringLiteral("checkOnLine(%1)").arg(d)); }
    void closeCurrentDialog(int code) override { record(QStringLiteral("closeCurrentDialog(%1)").arg(code)); }
    void setStartPage(int page, bool off) override
    {
        record(QStringLiteral("setStartPage(%1,%2)").arg(page).arg(off ? 1 : 0));
    }
    void runInPage(int index, const QString& script) override
    {
        record(QStringLiteral("runInPage(%1,%2)").arg(index).arg(script));
    }
    void showUrlInOverlay(const QString& url) override { record(QStringLiteral("showUrlInOverlay(%1)").arg(url)); }
    void closeWebPage(int code) override { record(QStringLiteral("closeWebPage(%1)").arg(code)); }
    void changePage(int page) override { record(QStringLiteral("changePage(%1)").arg(page)); }
    void setTopData(const QString& t) override { record(QStringLiteral("setTopData(%1)").arg(t)); }
    void showPageDevTools() override { record(QStringLiteral("showPageDevTools()")); }

private:
    void record(const QString& call)
    {
        calls.append(call);
        if (onCall)
            onCall(call);
    }
};
