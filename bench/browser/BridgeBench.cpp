// Bridge round trip per call and question round trip, against the engine's own floor measured
// in the same run: a bare prompt() answered at once, and a bare runJavaScript.
// Run: QT_QPA_PLATFORM=offscreen QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu build/bench/browser/bench_bridge
#include "browser/BrowserEvents.h"
#include "browser/BrowserRuntime.h"
#include "browser/ClientHandler.h"
#include "browser/KavrenPage.h"
#include "browser/KavrenView.h"
#include "browser/ScriptShell.h"
#include "devservice/DevService.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

class NullShell : public browser::ScriptShell
{
public:
    bool hasMainWindow() const override { return true; }
    QString installedVersionsText() override { return QStringLiteral("null\n"); }
    QString macAddressText() override { return QStringLiteral("0A-1B-2C-3D-4E-5F"); }
    bool askForceLogin() override { return true; }
    void loginStep(const QString&, int, int) override {}
    void logOutShell() override {}
    void exitShell() override {}
    void endMainDialog() override {}
    void reloadPage(int) override {}
    void cancelAllDownloads(int) override {}
    void openWithDefaultApp(const QString&, bool) override {}
    void switchPageWithLeaveCheck(int) override {}
    void restorePageView() override {}
    void showMessageCentre() override {}
    void controlDownload(const QString&, int, int) override {}
    void installFromList(const QString&, int, int) override {}
    void openOverlay(const QString&) override {}
    void removeSavedAccount(const QString&) override {}
    void refreshUserInfo(const QString&) override {}
    void setCoins(const QString&) override {}
    void closeOverlayToFirstPage() override {}
    void openAppFolder(const QString&, int, const QString&) override {}
    void showUserCenterPage(const QString&, const QString&) override {}
    void launchApp(const QString&, const QString&, const QString&, const QString&) override {}
    void saveSettings(const QString&, const QString&, const QString&, const QString&) override {}
    void requestApp(const browser::AppRequest&, int, int) override {}
    void showScriptMessages(const QString&) override {}
    void checkOnLine(const QString&) override {}
    void closeCurrentDialog(int) override {}
    void setStartPage(int, bool) override {}
    void runInPage(int, const QString&) override {}
    void showUrlInOverlay(const QString&) override {}
    void closeWebPage(int) override {}
    void changePage(int) override {}
    void setTopData(const QString&) override {}
    void showPageDevTools() override {}
};

class LoadWaiter : public browser::BrowserEvents
{
public:
    bool loaded = false;
    void onPageLoaded(browser::ClientHandler*, const QString&) override { loaded = true; }
    void onPopup(const QString&) override {}
};

// The floor: a page that answers every prompt at once with an empty text.
class FloorPage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString* result) override
    {
        result->clear();
        return true;
    }
};

template <typename Done>
void spinUntil(Done done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

QVariant eval(QWebEnginePage* page, const QString& script)
{
    auto result = std::make_shared<QVariant>();
    auto done = std::make_shared<bool>(false);
    page->runJavaScript(script, [result, done](const QVariant& v) {
        *result = v;
        *done = true;
    });
    spinUntil([done] { return *done; });
    return *result;
}

// Milliseconds per call of `expression`, measured inside the page.
double perCallInPage(QWebEnginePage* page, const QString& expression, int calls)
{
    return eval(page, QStringLiteral("(function(){ var t = performance.now(); for (var i = 0; i < %1; ++i) { %2; } "
                                     "return (performance.now() - t) / %1; })()")
                          .arg(calls)
                          .arg(expression))
        .toDouble();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);

    devservice::DevServiceOptions options;
    options.httpPort = 0;
    options.sessionPort = 0;
    options.pagesDir = KAVREN_SOURCE_DIR "/devservice/pages";
    devservice::DevService service(options);
    std::string error;
    if (!service.start(&error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    service.runInBackground();
    const QString url = QStringLiteral("http://127.0.0.1:%1/test/bridge.html").arg(service.httpPort());
    qputenv("KAVREN_BASE_URL", QStringLiteral("http://127.0.0.1:%1/").arg(service.httpPort()).toUtf8());

    QTemporaryDir cache;
    NullShell shell;
    LoadWaiter events;
    browser::BrowserRuntime runtime(cache.path(), shell, &events, 1.0);
    QWidget host;
    browser::ClientHandler handler(runtime);
    handler.createBrowser(&host, QRect(0, 0, 800, 600), url);
    host.show();
    spinUntil([&] { return events.loaded; });

    QWebEngineView floorView;
    auto* floorPage = new FloorPage(runtime.profile(), &floorView);
    floorView.setPage(floorPage);
    bool floorLoaded = false;
    QObject::connect(floorPage, &QWebEnginePage::loadFinished, [&](bool) { floorLoaded = true; });
    floorView.setUrl(QUrl(url));
    floorView.show();
    spinUntil([&] { return floorLoaded; });

    const int calls = 2000;
    perCallInPage(handler.page(), QStringLiteral("pm.GetMacAddressInfo()"), 200); // warm-up
    const double bridge = perCallInPage(handler.page(), QStringLiteral("pm.GetMacAddressInfo()"), calls);
    const double floorPrompt = perCallInPage(floorPage, QStringLiteral("prompt('x')"), calls);

    const int questions = 300;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < questions; ++i)
        handler.evalBool(QStringLiteral("true"));
    const double evalBool = static_cast<double>(timer.nsecsElapsed()) / 1e6 / questions;
    timer.restart();
    for (int i = 0; i < questions; ++i)
        eval(handler.page(), QStringLiteral("true"));
    const double floorRun = static_cast<double>(timer.nsecsElapsed()) / 1e6 / questions;

    std::printf("bridge call (pm.GetMacAddressInfo):  %.3f ms/call (target < 0.5)\n", bridge);
    std::printf("engine floor (bare prompt answered): %.3f ms/call  -> bridge/floor %.2f\n", floorPrompt,
                bridge / floorPrompt);
    std::printf("evalBool round trip:                 %.3f ms\n", evalBool);
    std::printf("engine floor (bare runJavaScript):   %.3f ms     -> evalBool/floor %.2f\n", floorRun,
                evalBool / floorRun);

    return 0;
}
