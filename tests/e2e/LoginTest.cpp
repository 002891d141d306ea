// The login as a user does it: the real shell under a private X server, typing into the real
// login page, against the dev service's session port.
#include "session/BuildLoginCommand.h"
#include "session/Connection.h"
#include "session/CurrentUser.h"
#include "session/SessionRecord.h"
#include "tests/support/DevServiceProcess.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/StagedPrograms.h"
#include "tests/support/VirtualDisplay.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>


#include <chrono>
#include <memory>

namespace {

using testsupport::DevServiceProcess;
using testsupport::StagedPrograms;
using testsupport::VirtualDisplay;

const QString kLoginTitle = QStringLiteral("Kavren工具箱登录页面");
const QString kPhone = QStringLiteral("13800000001");
const QString kPassword = QStringLiteral("kavren123");

std::chrono::steady_clock::time_point now()
{
    return std::chrono::steady_clock::now();
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(now() - start).count();
}

class LoginTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_staged.ok()) << "run the stage_install test first";
        ASSERT_TRUE(m_display.ok()) << "no Xvfb";
        m_service = std::make_unique<DevServiceProcess>(m_staged);
        ASSERT_TRUE(m_service->ok());
        m_service->configure(m_staged);
        m_staged.environment().insert(QStringLiteral("DISPLAY"), m_display.name());
        m_staged.environment().insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    }

    // Starts the shell and waits for its login page.
    QProcess* startShell()
    {
        QProcess* shell = m_staged.start(QStringLiteral("kavrenbox"), {QStringLiteral("/start")});
        EXPECT_FALSE(m_staged.trace().waitFor({"page-loaded", "/Account/Login"}, 60000).empty());
        m_window = m_display.waitForWindow(kLoginTitle, 30000);
        EXPECT_FALSE(m_window.isEmpty());
        QThread::msleep(500); // the page receives its saved accounts right after loading
        return shell;
    }

    // Types account and password into the page and presses its login button, as a user would.
    void typeLogin(const QString& account, const QString& password)
    {
        ASSERT_TRUE(m_display.xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), m_window,
                                       QStringLiteral("185"), QStringLiteral("105"), QStringLiteral("click"),
                                       QStringLiteral("1")}));
        ASSERT_TRUE(m_display.xdotool({QStringLiteral("key"), QStringLiteral("ctrl+a")}));
        ASSERT_TRUE(m_display.xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), account}));
        ASSERT_TRUE(m_display.clickAndType(m_window, 185, 157, password));
        ASSERT_TRUE(m_display.xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), m_window,
                                       QStringLiteral("185"), QStringLiteral("270"), QStringLiteral("click"),
                                       QStringLiteral("1")}));
    }

    void writeFile(const QString& name, const QByteArray& content)
    {
        QFile f(m_staged.file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

    QByteArray readFile(const QString& name)
    {
        QFile f(m_staged.file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    StagedPrograms m_staged;
    VirtualDisplay m_display;
    std::unique_ptr<DevServiceProcess> m_service;
    QString m_window;
};

TEST_F(LoginTest, LoginSucceedsAndStartUpGoesOn)
{
    startShell();
    const QString shots = QStringLiteral(KAVREN_BINARY_DIR "/screenshots");
    QDir().mkpath(shots);
    EXPECT_TRUE(m_display.screenshot(m_window, shots + QStringLiteral("/login-window.png")));

    typeLogin(kPhone, kPassword);
    EXPECT_FALSE(m_staged.trace().waitFor({"logged-in", kPhone.toStdString()}, 30000).empty());
    EXPECT_FALSE(m_staged.trace().waitFor({"kavrenbox", "initialised"}, 30000).empty());
    EXPECT_FALSE(m_service->waitForLog({QStringLiteral("login 13800000001 operation=1 accepted")}, 5000).isEmpty());
    EXPECT_TRUE(readFile(QStringLiteral("UserInfo.json")).contains("\"account\":\"13800000001\""));
    EXPECT_TRUE(m_staged.prompts().all().empty());
}

TEST_F(LoginTest, WrongPasswordStaysOnThePage)
{
    startShell();
    typeLogin(kPhone, QStringLiteral("wrong"));
    EXPECT_FALSE(m_service->waitForLog({QStringLiteral("login-api 13800000001 refused")}, 20000).isEmpty());
    QThread::msleep(1000);
    EXPECT_FALSE(m_staged.trace().contains({"login-step"}));
}

TEST_F(LoginTest, RefusedLoginForcedWithOperationTwo)
{
    m_service->post(QStringLiteral("control/session/refuse-next"), "{\"count\":1}");
    startShell();
    typeLogin(kPhone, kPassword);
    auto prompt = m_staged.prompts().next(30000);
    ASSERT_TRUE(prompt);
    EXPECT_TRUE(prompt->has("\"kind\":\"CLogWndHad\"")) << prompt->json;
    EXPECT_TRUE(prompt->has("点击\\\"确定\\\"强制登录工具箱")) << prompt->json;
    m_staged.prompts().answer(*prompt, "ok");
    EXPECT_FALSE(m_staged.trace().waitFor({"forced-login-sent"}, 10000).empty());
    EXPECT_FALSE(m_staged.trace().waitFor({"kavrenbox", "initialised"}, 30000).empty());
    EXPECT_FALSE(m_service->waitForLog({QStringLiteral("\"Operation\":2")}, 10000).isEmpty());
}

TEST_F(LoginTest, RefusedLoginDeclinedEndsTheProcess)
{
    m_service->post(QStringLiteral("control/session/refuse-next"), "{\"count\":1}");
    QProcess* shell = startShell();
    typeLogin(kPhone, kPassword);
    auto prompt = m_staged.prompts().next(30000);
    ASSERT_TRUE(prompt);
    m_staged.prompts().answer(*prompt, "cancel");
    ASSERT_TRUE(shell->waitForFinished(15000));
    EXPECT_EQ(shell->exitCode(), 0);
    EXPECT_FALSE(m_staged.trace().contains({"initialised"}));
}

TEST_F(LoginTest, PageAsksBeforeForcingAnAccountOnlineElsewhere)
{
    // Another place holds a session for the account.
    session::Connection elsewhere;
    ASSERT_EQ(elsewhere.connectTo(QStringLiteral("127.0.0.1"), static_cast<quint16>(m_service->sessionPort()), 3000),
              session::Connection::ConnectResult::Connected);
    session::CurrentUser other;
    other.phone = kPhone;
    other.vipLevel = QStringLiteral("1");
    ASSERT_TRUE(elsewhere.sendCommand(
        session::BuildLoginCommand(session::SessionRecord::forLogin(1, kPhone, QStringLiteral("00-00-00-00-00-01")), other)));
    QByteArray answer;
    ASSERT_EQ(elsewhere.receive(&answer, 5000), session::Connection::ReceiveStatus::Command);

    startShell();
    typeLogin(kPhone, kPassword);
    auto question = m_staged.prompts().next(30000);
    ASSERT_TRUE(question);
    EXPECT_TRUE(question->has("\"kind\":\"CNoticeTwoSelect\"")) << question->json;
    EXPECT_TRUE(question->has("账号已登陆，是否强制登陆!")) << question->json;
    m_staged.prompts().answer(*question, "ok");
    // The service refuses the plain login of an online account: the shell offers to force it.
    auto refused = m_staged.prompts().next(30000);
    ASSERT_TRUE(refused);
    EXPECT_TRUE(refused->has("\"kind\":\"CLogWndHad\"")) << refused->json;
    m_staged.prompts().answer(*refused, "ok");
    EXPECT_FALSE(m_staged.trace().waitFor({"kavrenbox", "initialised"}, 30000).empty());
    // The other place is told it has been displaced.
    QByteArray notice;
    ASSERT_EQ(elsewhere.receive(&notice, 10000), session::Connection::ReceiveStatus::Command);
    EXPECT_TRUE(notice.contains("\"Operation\":3")) << notice.toStdString();
}

TEST_F(LoginTest, ClosedSessionPortGivesLoginError)
{
    m_staged.environment().insert(QStringLiteral("KAVREN_SESSION_PORT"), QString::number(testsupport::closedPort()));
    QProcess* shell = startShell();
    typeLogin(kPhone, kPassword);
    EXPECT_FALSE(m_staged.trace().waitFor({"login-read-failed"}, 30000).empty());
    EXPECT_FALSE(m_staged.trace().contains({"login-connect-timeout"}));
    EXPECT_EQ(shell->state(), QProcess::Running) << "the window stays for another try";
}

TEST_F(LoginTest, HangingConnectGivesErrorTipAfterFourSeconds)
{
    testsupport::BareListener listener(0);
    ASSERT_TRUE(listener.fillBacklog());
    m_staged.environment().insert(QStringLiteral("KAVREN_SESSION_PORT"), QString::number(listener.port()));
    startShell();
    typeLogin(kPhone, kPassword);
    ASSERT_FALSE(m_staged.trace().waitFor({"login-step"}, 30000).empty());
    const auto start = now();
    EXPECT_FALSE(m_staged.trace().waitFor({"login-connect-timeout"}, 15000).empty());
    const double waited = secondsSince(start);
    EXPECT_GT(waited, 3.0);
    EXPECT_LT(waited, 7.0);
}

TEST_F(LoginTest, ServiceThatNeverAnswersGivesLoginErrorAfterFifteenSeconds)
{
    m_service->post(QStringLiteral("control/session/stall"), "{\"stall\":true}");
    startShell();
    typeLogin(kPhone, kPassword);
    ASSERT_FALSE(m_staged.trace().waitFor({"login-step"}, 30000).empty());
    const auto start = now();
    EXPECT_FALSE(m_staged.trace().waitFor({"login-read-failed"}, 30000).empty());
    const double waited = secondsSince(start);
    EXPECT_GT(waited, 13.5);
    EXPECT_LT(waited, 19.0);
}

const QByteArray kAutoLoginAccount =
    "{\"userinfolist\":[{\"LoginTime\":\"20261201090000\",\"UserImgUrl\":\"\",\"account\":\"13800000001\","
    "\"isAutoLogin\":\"1\",\"isKeepPwd\":\"1\",\"password\":\"kavren123\"}]}\n";

TEST_F(LoginTest, SavedAccountLogsInAutomatically)
{
    writeFile(QStringLiteral("UserInfo.json"), kAutoLoginAccount);
    startShell();
    EXPECT_FALSE(m_staged.trace().waitFor({"logged-in", kPhone.toStdString()}, 30000).empty());
    EXPECT_FALSE(m_staged.trace().waitFor({"kavrenbox", "initialised"}, 30000).empty());
}

TEST_F(LoginTest, LogOutSettingStopsAutomaticLoginOnce)
{
    writeFile(QStringLiteral("UserInfo.json"), kAutoLoginAccount);
    writeFile(QStringLiteral("UserInfo.ini"), "[LogOut]\nLogOut=1\n");
    startShell();
    EXPECT_TRUE(m_staged.trace().contains({"login-window", "logged-out=1"}));
    QThread::msleep(4000);
    EXPECT_FALSE(m_staged.trace().contains({"login-step"})) << "no automatic login after a logout";
    EXPECT_TRUE(readFile(QStringLiteral("UserInfo.ini")).contains("LogOut=0")) << "only once";
}

TEST_F(LoginTest, DisplacedUserComesBackThroughTheRestarter)
{
    startShell();
    typeLogin(kPhone, kPassword);
    ASSERT_FALSE(m_staged.trace().waitFor({"kavrenbox", "initialised"}, 30000).empty());
    m_service->post(QStringLiteral("control/session/displace"), "{\"phone\":\"13800000001\"}");
    auto prompt = m_staged.prompts().next(30000);
    ASSERT_TRUE(prompt);
    EXPECT_TRUE(prompt->has("\"kind\":\"CLogWndHad\"")) << prompt->json;
    EXPECT_TRUE(prompt->has("点击\\\"确定\\\"输入密码重新登录")) << prompt->json;
    m_staged.prompts().answer(*prompt, "ok");
    EXPECT_FALSE(m_staged.trace().waitFor({"logout-shell"}, 10000).empty());
    EXPECT_FALSE(m_staged.trace().waitFor({"kavren-relogin", "relogin-start"}, 20000).empty());
    EXPECT_FALSE(m_staged.trace().waitFor({"kavrenup", "start-shell"}, 20000).empty());
    EXPECT_FALSE(m_staged.trace().waitFor({"login-window", "logged-out=1"}, 60000).empty())
        << "the login window comes back and does not log in by itself";
}

} // namespace
