// Start-up of the real programs: the "/start" check, single instance, the last-chance
// handler, the service-address fallback and the logout restart chain.
#include "tests/support/StagedPrograms.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

using testsupport::StagedPrograms;

class StartupTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_staged.ok()) << "run the stage_install test first"; }
    StagedPrograms m_staged;
};

TEST_F(StartupTest, WithoutStartArgumentShowsItsMessageAndEnds)
{
    QProcess* shell = m_staged.start(QStringLiteral("kavrenbox"), {});
    auto prompt = m_staged.prompts().next(30000);
    ASSERT_TRUE(prompt) << "no message shown";
    EXPECT_TRUE(prompt->has("该文件不支持打开，请点击\\\"kavrenup.exe\\\"启动打开Kavren工具箱")) << prompt->json;
    EXPECT_TRUE(prompt->has("\"caption\":\"提示\"")) << prompt->json;
    EXPECT_TRUE(shell->state() == QProcess::Running) << "the process waits for the answer";
    m_staged.prompts().answer(*prompt, "ok");
    ASSERT_TRUE(shell->waitForFinished(10000));
    EXPECT_EQ(shell->exitCode(), 0);
    EXPECT_EQ(m_staged.prompts().all().size(), 1u) << "exactly one message";
    EXPECT_FALSE(m_staged.trace().contains({"login-window"}));
}

TEST_F(StartupTest, StartInsideLongerWordIsAccepted)
{
    QProcess* shell = m_staged.start(QStringLiteral("kavrenbox"), {QStringLiteral("--x/startup")});
    EXPECT_FALSE(m_staged.trace().waitFor({"kavrenbox", "login-window"}, 30000).empty());
    EXPECT_EQ(shell->state(), QProcess::Running);
    EXPECT_TRUE(m_staged.prompts().all().empty());
}

TEST_F(StartupTest, SecondInstanceAsksFirstToShowAndEnds)
{
    QProcess* first = m_staged.start(QStringLiteral("kavrenbox"), {QStringLiteral("/start")});
    ASSERT_FALSE(m_staged.trace().waitFor({"kavrenbox", "login-window"}, 30000).empty());

    QProcess* second = m_staged.start(QStringLiteral("kavrenbox"), {QStringLiteral("/start")});
    auto prompt = m_staged.prompts().next(30000);
    ASSERT_TRUE(prompt);
    EXPECT_TRUE(prompt->has("工具箱已经运行")) << prompt->json;
    EXPECT_TRUE(prompt->has("\"pid\":" + std::to_string(second->processId()))) << prompt->json;
    const std::string firstPid = " " + std::to_string(first->processId()) + " ";
    EXPECT_FALSE(m_staged.trace().waitFor({firstPid, "show-request"}, 10000).empty())
        << "the running shell did not receive the show request";
    m_staged.prompts().answer(*prompt, "ok");
    ASSERT_TRUE(second->waitForFinished(10000));
    EXPECT_EQ(second->exitCode(), 0);
    const std::string secondPid = " " + std::to_string(second->processId()) + " ";
    EXPECT_FALSE(m_staged.trace().contains({secondPid, "login-window"}))
        << "the second instance must end before any login window";
    EXPECT_EQ(first->state(), QProcess::Running);
}

TEST_F(StartupTest, UnresolvableHostUsesFallbackWithoutMessage)
{
    m_staged.environment().insert(QStringLiteral("KAVREN_SERVICE_HOST"), QStringLiteral("no-such-host.invalid"));
    m_staged.start(QStringLiteral("kavrenbox"), {QStringLiteral("/start")});
    EXPECT_FALSE(m_staged.trace().waitFor({"kavrenbox", "login-window"}, 30000).empty());
    EXPECT_TRUE(m_staged.trace().contains({"kavrenbox", "service-address 127.0.0.1"}));
    EXPECT_TRUE(m_staged.prompts().all().empty());
}

TEST_F(StartupTest, ScreenAt120DpiScalesOnceBy125)
{
    // Qt's own scaling is off: the logical DPI reaches our factor, and geometry is scaled once.
    m_staged.environment().insert(QStringLiteral("QT_FONT_DPI"), QStringLiteral("120"));
    m_staged.start(QStringLiteral("kavrenbox"), {QStringLiteral("/start")});
    EXPECT_FALSE(m_staged.trace().waitFor({"kavrenbox", "login-window"}, 30000).empty());
    EXPECT_TRUE(m_staged.trace().contains({"kavrenbox", "dpi-scale 1.25"}));
    EXPECT_TRUE(m_staged.trace().contains({"kavrenbox", "main-size 1607x902"}));
}

TEST_F(StartupTest, UnhandledExceptionShowsTheOneMessageThenEnds)
{
    m_staged.environment().insert(QStringLiteral("KAVREN_TEST_FAULT"), QStringLiteral("event"));
    QProcess* shell = m_staged.start(QStringLiteral("kavrenbox"), {QStringLiteral("/start")});
    auto prompt = m_staged.prompts().next(30000);
    ASSERT_TRUE(prompt);
    EXPECT_TRUE(prompt->has("Kavren工具箱：获取数据出现异常,请检查网络连接是否正常")) << prompt->json;
    m_staged.prompts().answer(*prompt, "ok");
    ASSERT_TRUE(shell->waitForFinished(10000));
    EXPECT_NE(shell->exitCode(), 0);
}

TEST_F(StartupTest, UpdaterHandsOverWithQuotedPathAndStart)
{
    QProcess* updater = m_staged.start(QStringLiteral("kavrenup"), {});
    ASSERT_TRUE(updater->waitForFinished(30000));
    EXPECT_EQ(updater->exitCode(), 1);
    const std::string expected = "start-shell \"" + m_staged.file(QStringLiteral("kavrenbox")).toStdString() + "\" /start";
    EXPECT_TRUE(m_staged.trace().contains({expected})) << expected;
    EXPECT_FALSE(m_staged.trace().waitFor({"kavrenbox", "login-window"}, 30000).empty());
}

TEST_F(StartupTest, UpdaterWithoutShellShowsMissingProgramMessage)
{
    ASSERT_TRUE(QFile::remove(m_staged.file(QStringLiteral("kavrenbox"))));
    QProcess* updater = m_staged.start(QStringLiteral("kavrenup"), {});
    auto prompt = m_staged.prompts().next(30000);
    ASSERT_TRUE(prompt);
    EXPECT_TRUE(prompt->has("缺失主程序，请到官网下载最新版Kavren工具箱！")) << prompt->json;
    m_staged.prompts().answer(*prompt, "ok");
    ASSERT_TRUE(updater->waitForFinished(10000));
    EXPECT_EQ(updater->exitCode(), 0);
    EXPECT_TRUE(m_staged.trace().contains({"kavrenup", " open "}));
}

TEST_F(StartupTest, LogoutRestartsThroughReloginOnceShellIsGone)
{
    const QString probe = m_staged.file(QStringLiteral("kavren-logout-probe"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(KAVREN_LOGOUT_PROBE), probe));
    QProcess* shell = m_staged.start(QStringLiteral("kavren-logout-probe"), {});
    ASSERT_TRUE(shell->waitForFinished(10000));
    EXPECT_EQ(shell->exitCode(), 0);
    const std::string shellPid = std::to_string(shell->processId());

    EXPECT_FALSE(m_staged.trace().waitFor({"kavren-relogin", "relogin-start"}, 20000).empty());
    EXPECT_FALSE(m_staged.trace().waitFor({"kavrenup", "start-shell"}, 20000).empty());
    EXPECT_FALSE(m_staged.trace().waitFor({"kavrenbox", "login-window"}, 30000).empty());

    // Order: the probe's logout, then the restarter, then the updater, then the shell.
    const auto lines = m_staged.trace().lines();
    auto indexOf = [&](const std::string& text) {
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].find(text) != std::string::npos)
                return static_cast<int>(i);
        }
        return -1;
    };
    EXPECT_LT(indexOf("logout-shell"), indexOf("relogin-start"));
    EXPECT_LT(indexOf("relogin-start"), indexOf("start-shell"));
    EXPECT_LT(indexOf("start-shell"), indexOf("login-window"));
}

} // namespace
