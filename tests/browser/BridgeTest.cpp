// The bridge through the real engine, headless: a real page calls the native functions, the
// shell asks pages questions, popups and foreign frames are handled.
#include "browser/BrowserEvents.h"
#include "browser/BrowserRuntime.h"
#include "browser/ClientHandler.h"
#include "browser/KavrenPage.h"
#include "browser/KavrenView.h"
#include "browser/PageCalls.h"
#include "browser/PopupRouter.h"
#include "devservice/DevService.h"
#include "platform/Prompts.h"
#include "tests/browser/FakeScriptShell.h"
#include "widgets/CNoticeTwoSelect.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QEventLoop>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>

#include <gtest/gtest.h>

#include <memory>

namespace {

using browser::ClientHandler;

// A dev service serving the test pages, on loopback, in this process.
class PageServer
{
public:
    PageServer()
    {
        devservice::DevServiceOptions options;
        options.bindAddress = "127.0.0.1";
        options.secondOriginAddress = "127.0.0.2";
        options.httpPort = 0;
        options.sessionPort = 0;
        options.pagesDir = KAVREN_SOURCE_DIR "/devservice/pages";
        m_service = std::make_unique<devservice::DevService>(options);
        std::string error;
        m_ok = m_service->start(&error);
        if (m_ok)
            m_service->runInBackground();
        m_origin = QStringLiteral("http://127.0.0.1:%1/").arg(m_service->httpPort());
        m_secondOrigin = QString::fromStdString(m_service->secondOrigin());
    }
    bool ok() const { return m_ok; }
    QString url(const QString& path) const { return m_origin + path; }
    QString foreignUrl(const QString& path) const { return m_secondOrigin + path; }
    const QString& origin() const { return m_origin; }

private:
    std::unique_ptr<devservice::DevService> m_service;
    bool m_ok = false;
    QString m_origin;
    QString m_secondOrigin;
};

class RecordingEvents : public browser::BrowserEvents
{
public:
    QStringList loads;
    QStringList popups;
    void onPageLoaded(ClientHandler*, const QString& url) override { loads.append(url); }
    void onPopup(const QString& url) override { popups.append(url); }
};

template <typename Done>
bool spinUntil(Done done, int timeoutMs = 20000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

class BridgeTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_cache = new QTemporaryDir;
        s_server = new PageServer;
        qputenv("KAVREN_BASE_URL", s_server->origin().toUtf8());
    }
    static void TearDownTestSuite()
    {
        delete s_server;
        delete s_cache;
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_server->ok());
        m_runtime = std::make_unique<browser::BrowserRuntime>(s_cache->path(), m_shell, &m_events, 1.0);
        m_host = std::make_unique<QWidget>();
        m_host->resize(800, 600);
        m_handler = std::make_unique<ClientHandler>(*m_runtime);
        m_handler->createBrowser(m_host.get(), QRect(0, 0, 800, 600), s_server->url(QStringLiteral("test/bridge.html")));
        m_host->show();
        ASSERT_TRUE(spinUntil([this] { return !m_events.loads.isEmpty(); })) << "test page did not load";
    }

    void TearDown() override
    {
        platform::Prompts::setAnswerer({});
        m_handler.reset();
        m_host.reset();
        m_runtime.reset();
    }

    // Runs script in the page from an ordinary event and returns its value.
    QVariant eval(const QString& script)
    {
        auto result = std::make_shared<QVariant>();
        auto done = std::make_shared<bool>(false);
        m_handler->page()->runJavaScript(script, [result, done](const QVariant& v) {
            *result = v;
            *done = true;
        });
        EXPECT_TRUE(spinUntil([done] { return *done; })) << script.toStdString();
        return *result;
    }

    static PageServer* s_server;
    static QTemporaryDir* s_cache;
    FakeScriptShell m_shell;
    RecordingEvents m_events;
    std::unique_ptr<browser::BrowserRuntime> m_runtime;
    std::unique_ptr<QWidget> m_host;
    std::unique_ptr<ClientHandler> m_handler;
};

PageServer* BridgeTest::s_server = nullptr;
QTemporaryDir* BridgeTest::s_cache = nullptr;

TEST_F(BridgeTest, AnswersReachPageScriptWithTheirTypes)
{
    m_shell.versions = QStringLiteral("[\n   {\n      \"Id\" : \"7\",\n      \"Version\" : \"1.0\"\n   }\n]\n");
    EXPECT_EQ(eval(QStringLiteral("pm.GetSoftVersion()")).toString(),
              browser::PageCalls::base64Utf8(m_shell.versions));
    EXPECT_EQ(eval(QStringLiteral("pm.GetMacAddressInfo()")).toString(), m_shell.mac);
    m_shell.mac.clear();
    EXPECT_EQ(eval(QStringLiteral("typeof pm.GetMacAddressInfo() + ':' + pm.GetMacAddressInfo()")).toString(),
              QStringLiteral("string:"));
    EXPECT_EQ(eval(QStringLiteral("typeof app.GetId()")).toString(), QStringLiteral("undefined"));
    EXPECT_EQ(eval(QStringLiteral("typeof pm.ChangePage(2)")).toString(), QStringLiteral("undefined"));
    EXPECT_EQ(eval(QStringLiteral("typeof CB_CustomFunction(20, 1)")).toString(), QStringLiteral("undefined"));
    EXPECT_EQ(eval(QStringLiteral("typeof ExJs('12345')")).toString(), QStringLiteral("undefined"));
    EXPECT_EQ(eval(QStringLiteral("typeof CB_ExJsWithContext(2, 'f')")).toString(), QStringLiteral("undefined"));
    // Declared parameter counts: the wrappers pass exactly what they declare.
    EXPECT_EQ(eval(QStringLiteral("[pm.Login.length, pm.OpenUrl.length, pm.ShowMessage.length, "
                                  "pm.GetSoftVersion.length].join()"))
                  .toString(),
              QStringLiteral("5,2,1,0"));
    ASSERT_TRUE(spinUntil([this] { return m_shell.calls.size() >= 3; }));
    EXPECT_EQ(m_shell.calls, (QStringList{QStringLiteral("changePage(2)"), QStringLiteral("cancelAllDownloads(2)"),
                                          QStringLiteral("runInPage(2,f())")}));
}

TEST_F(BridgeTest, WrappersFillMissingArgumentsAndWindowFunctionsPassAll)
{
    eval(QStringLiteral("pm.Login('{\"a\":1}'); pm.ShowMessage(); pm.ChangePage(2, 'extra'); "
                        "CB_CustomFunction('abc', 2); CB_CustomFunction(7); CB_CustomFunction(1, 2, 3, 4, 5, 6, 7, 8);"));
    ASSERT_TRUE(spinUntil([this] { return m_shell.calls.size() >= 4; }));
    spinUntil([] { return false; }, 200);
    EXPECT_EQ(m_shell.calls, (QStringList{QStringLiteral("loginStep({\"a\":1},0,0)"),
                                          QStringLiteral("setStartPage(0,1)"), QStringLiteral("changePage(2)"),
                                          QStringLiteral("reloadPage(2)")}));
}

TEST_F(BridgeTest, EffectsRunAfterTheCallReturnedInOrder)
{
    QStringList seenDuringAnswer;
    m_shell.onCall = [&](const QString&) {};
    eval(QStringLiteral("pm.ChangePage(3); CB_CustomFunction(0, 3); window.macSeen = pm.GetMacAddressInfo();"));
    // The answer was computed while neither effect had run yet.
    ASSERT_TRUE(spinUntil([this] { return m_shell.calls.size() >= 2; }));
    EXPECT_EQ(m_shell.calls, (QStringList{QStringLiteral("changePage(3)"), QStringLiteral("reloadPage(3)")}));
}

TEST_F(BridgeTest, BadInputFromScriptDoesNothingAndNeverThrows)
{
    const QString huge = QStringLiteral("'x'.repeat(1 << 20)"); // a megabyte of text
    const QVariant result = eval(QStringLiteral(
        "var errors = 0; function t(f) { try { f(); } catch (e) { ++errors; } }"
        "t(function () { pm.SetTopData(%1); });"
        "t(function () { pm.CheckOnLine(null); pm.CheckOnLine(undefined); pm.CheckOnLine(12); });"
        "t(function () { pm.CloseCurrentDlg('3'); pm.ChangePage({}); pm.OpenUrl(function () {}, 1); });"
        "t(function () { ExJs(); ExJs(1, 2, 3); ExJs('99999999999999999999'); ExJs(NaN); });"
        "t(function () { CB_ExJsWithContext(); CB_ExJsWithContext(Infinity, Symbol === undefined ? 1 : 'f'); });"
        "t(function () { CB_CustomFunction(); CB_CustomFunction([], {}, null, undefined); });"
        "var m = %2; t(function () { window.unknownAnswer = String(prompt(m + 'C{\"n\":\"Nope\",\"a\":[]}')); });"
        "t(function () { window.brokenAnswer = String(prompt(m + 'C{not json') + prompt(m + 'X') + prompt(m)); });"
        "t(function () { prompt(m + 'P{\"n\":\"ChangePage\",\"a\":[{\"t\":\"n\",\"v\":8}'); });"
        "errors;")
                                           .arg(huge, QStringLiteral("'\\x01kavren-bridge\\x01'")));
    EXPECT_EQ(result.toInt(), 0);
    spinUntil([] { return false; }, 300);
    ASSERT_EQ(m_shell.calls.size(), 5) << m_shell.calls.join(QLatin1Char('\n')).left(300).toStdString();
    EXPECT_EQ(m_shell.calls.at(0).size(), QStringLiteral("setTopData()").size() + (1 << 20));
    EXPECT_EQ(m_shell.calls.mid(1), (QStringList{QStringLiteral("closeCurrentDialog(0)"), QStringLiteral("changePage(0)"),
                                                 QStringLiteral("showUrlInOverlay()"), QStringLiteral("runInPage(0,f())")}));
    EXPECT_EQ(eval(QStringLiteral("window.unknownAnswer + '|' + window.brokenAnswer")).toString(),
              QStringLiteral("{\"t\":\"u\"}|{\"t\":\"u\"}{\"t\":\"u\"}{\"t\":\"u\"}"));
}

TEST_F(BridgeTest, LongArgumentsAndAnswersTravelWhole)
{
    // Longer than one engine dialog message: the call travels in parts and arrives whole,
    // Chinese text and characters outside the basic plane included.
    const QString unit = QStringLiteral("中文😀'\"");
    eval(QStringLiteral("pm.SetTopData('%1'.repeat(20000)); true").arg(QStringLiteral("中文😀\\'\\\"")));
    ASSERT_TRUE(spinUntil([this] { return !m_shell.calls.isEmpty(); }));
    EXPECT_EQ(m_shell.calls.first(), QStringLiteral("setTopData(%1)").arg(unit.repeated(20000)));
    m_shell.versions = QString(300000, QLatin1Char('v'));
    EXPECT_EQ(eval(QStringLiteral("pm.GetSoftVersion().length")).toInt(),
              browser::PageCalls::base64Utf8(m_shell.versions).size());
}

TEST_F(BridgeTest, PageReplacingPromptKeepsTheBridge)
{
    EXPECT_EQ(eval(QStringLiteral("window.prompt = function () { return 'hijacked'; }; pm.GetMacAddressInfo()"))
                  .toString(),
              m_shell.mac);
}

TEST_F(BridgeTest, ForceLoginAsksTheUserWhileThePageWaits)
{
    // As the shell asks it: the skinned two-choice notice.
    m_shell.forceLoginAnswer = [] {
        widgets::CNoticeTwoSelect question;
        question.setText(QStringLiteral("账号已登陆，是否强制登陆!"));
        question.DoModal();
        return question.resultText() == QLatin1String("ok");
    };
    QStringList asked;
    for (const char* answer : {"ok", "cancel", "close"}) {
        platform::Prompts::setAnswerer([&, answer](const platform::PromptInfo& info) {
            asked.append(info.lines.join(QString()));
            return QString::fromLatin1(answer);
        });
        const QVariant value = eval(QStringLiteral("pm.ForceLogin()"));
        EXPECT_EQ(value.toInt(), QLatin1String(answer) == QLatin1String("ok") ? 1 : 0) << answer;
    }
    EXPECT_EQ(asked, QStringList(3, QStringLiteral("账号已登陆，是否强制登陆!")));
}

struct EvalRow
{
    const char* name;
    const char* script;
    bool expected;
};

void PrintTo(const EvalRow& row, std::ostream* os)
{
    *os << row.name;
}

class EvalBoolTest : public BridgeTest, public ::testing::WithParamInterface<EvalRow>
{
};

TEST_P(EvalBoolTest, OnlyBooleanTrueCounts)
{
    EXPECT_EQ(m_handler->evalBool(QString::fromUtf8(GetParam().script)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, EvalBoolTest,
                         ::testing::Values(EvalRow{"booleanTrue", "1 < 2", true}, EvalRow{"booleanFalse", "false", false},
                                           EvalRow{"number", "1", false}, EvalRow{"string", "'yes'", false},
                                           EvalRow{"nothing", "undefined", false}, EvalRow{"thrown", "(function(){throw 1})()", false},
                                           EvalRow{"objectTrue", "({ok: true})", false}),
                         [](const ::testing::TestParamInfo<EvalRow>& row) { return std::string(row.param.name); });

TEST_F(BridgeTest, QuestionTemplatesAskThePageHooks)
{
    using browser::PageCalls;
    eval(QStringLiteral("window.answers.closing = true; window.answers.change = 'yes';"));
    EXPECT_TRUE(m_handler->evalBool(PageCalls::webDialogClosingQuestion(2)));
    EXPECT_FALSE(m_handler->evalBool(PageCalls::pageChangeQuestion(1, 2))) << "a string must not allow the change";
    // Without the hook the closing questions answer true; the exists-test answers false.
    EXPECT_TRUE(m_handler->evalBool(PageCalls::overlayClosingQuestion(1)));
    EXPECT_FALSE(m_handler->evalBool(PageCalls::existsTest(QStringLiteral("pmw"), QStringLiteral("pmw.ImgBtnRefresh_Click"))));
    EXPECT_TRUE(m_handler->evalBool(PageCalls::existsTest(QStringLiteral("pmw"), QStringLiteral("pmw.FrmValidate_Closing"))));
    EXPECT_FALSE(m_handler->evalBool(PageCalls::callIfExists(QStringLiteral("pmw"), QStringLiteral("pmw.DevTool_BeforeShow"))));
}

TEST_F(BridgeTest, HangingPageIsGivenUpAfterFiveSecondsWhileEventsFlow)
{
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(100);
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(m_handler->evalBool(QStringLiteral("var end = Date.now() + 7000; while (Date.now() < end) {} true")));
    const qint64 waited = timer.elapsed();
    EXPECT_GE(waited, 4900);
    EXPECT_LT(waited, 6500);
    EXPECT_GE(ticks, 30) << "the GUI thread must keep processing events while it waits";
    // The late answer arrives after the wait gave up; it must be dropped safely.
    spinUntil([] { return false; }, 2500);
    EXPECT_TRUE(m_handler->evalBool(QStringLiteral("true")));
}

TEST_F(BridgeTest, QuestionAskedFromACommandsEffectIsAnsweredAtOnce)
{
    // As the overlay's close will: a command whose effect asks the page a question.
    qint64 askedIn = -1;
    bool answer = false;
    m_shell.onCall = [&](const QString& call) {
        if (!call.startsWith(QLatin1String("closeWebPage")))
            return;
        QElapsedTimer t;
        t.start();
        answer = m_handler->evalBool(browser::PageCalls::overlayClosingQuestion(1));
        askedIn = t.elapsed();
    };
    eval(QStringLiteral("pm.CloseWebPage(1)"));
    ASSERT_TRUE(spinUntil([&] { return askedIn >= 0; }));
    EXPECT_TRUE(answer);
    EXPECT_LT(askedIn, 1000);
}

TEST_F(BridgeTest, WindowOpenReportsTheAddressWithoutOpeningAWindow)
{
    const int windowsBefore = static_cast<int>(QApplication::topLevelWidgets().size());
    eval(QStringLiteral("window.open('http://127.0.0.1:9/elsewhere.html'); true"));
    ASSERT_TRUE(spinUntil([this] { return !m_events.popups.isEmpty(); }));
    EXPECT_EQ(m_events.popups, QStringList{QStringLiteral("http://127.0.0.1:9/elsewhere.html")});
    EXPECT_EQ(static_cast<int>(QApplication::topLevelWidgets().size()), windowsBefore);
}

TEST_F(BridgeTest, PopupGoesToOverlayWhenOpenElseToDefaultBrowser)
{
    QTemporaryDir dir;
    const QString trace = dir.filePath(QStringLiteral("trace.log"));
    qputenv("KAVREN_NO_DESKTOP_OPEN", "1");
    qputenv("KAVREN_TRACE_FILE", trace.toUtf8());
    bool overlayOpen = false;
    QStringList overlay;
    const browser::PopupRouter router([&] { return overlayOpen; }, [&](const QString& url) { overlay.append(url); });
    router.route(QStringLiteral("http://a.test/"));
    overlayOpen = true;
    router.route(QStringLiteral("http://b.test/"));
    qunsetenv("KAVREN_TRACE_FILE");
    qunsetenv("KAVREN_NO_DESKTOP_OPEN");
    QFile log(trace);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString traced = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(traced.contains(QLatin1String(" open http://a.test/"))) << traced.toStdString();
    EXPECT_FALSE(traced.contains(QLatin1String("b.test")));
    EXPECT_EQ(overlay, QStringList{QStringLiteral("http://b.test/")});
}

TEST_F(BridgeTest, DevToolsOpenInTheirOwnWindow)
{
    m_handler->showDevTools();
    m_handler->showDevTools();
    int found = 0;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        if (w->windowTitle() == QLatin1String("DevTools") && w->isVisible())
            ++found;
    }
    EXPECT_EQ(found, 1);
}

TEST_F(BridgeTest, FrameOfAnotherOriginReachesNoCommand)
{
    const QString foreign = s_server->foreignUrl(QStringLiteral("test/frame.html"));
    ASSERT_TRUE(foreign.startsWith(QLatin1String("http://127.0.0.2:")));
    const QString own = s_server->url(QStringLiteral("test/frame.html"));
    eval(QStringLiteral("['%1', '%2'].forEach(function (src) { var f = document.createElement('iframe'); "
                        "f.src = src; document.body.appendChild(f); }); true")
             .arg(foreign, own));
    ASSERT_TRUE(spinUntil([this] { return eval(QStringLiteral("window.frameReports.length")).toInt() == 2; }));
    const QString reports =
        QString::fromUtf8(QJsonDocument::fromVariant(eval(QStringLiteral("window.frameReports"))).toJson(QJsonDocument::Compact));
    EXPECT_TRUE(reports.contains(QStringLiteral("{\"mac\":\"undefined\",\"version\":\"undefined\"}"))) << reports.toStdString();
    EXPECT_TRUE(reports.contains(QStringLiteral("\"mac\":\"%1\"").arg(m_shell.mac))) << reports.toStdString();
    spinUntil([] { return false; }, 300);
    // Only the frame of our own origin changed the page and ended the shell.
    EXPECT_EQ(m_shell.calls, (QStringList{QStringLiteral("changePage(9)"), QStringLiteral("exitShell()")}));
}

TEST_F(BridgeTest, LoadEndsReachTheOwnerWithTheirAddress)
{
    m_events.loads.clear();
    m_handler->loadUrl(s_server->url(QStringLiteral("Course/Index")));
    ASSERT_TRUE(spinUntil([this] { return !m_events.loads.isEmpty(); }));
    EXPECT_EQ(m_events.loads, QStringList{s_server->url(QStringLiteral("Course/Index"))});
}

} // namespace
