// The updater form's stale-file message: the download's worker hands it to the GUI thread,
// which shows it through the one prompt entry, and waits until it has been answered.
#include "applib/StaleFileNotice.h"
#include "applib/DownloadFile.h"
#include "platform/Prompts.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

class StaleFileNotice : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::Prompts::setAnswerer([this](const platform::PromptInfo& info) {
            m_seen.push_back(info);
            m_onGuiThread = QThread::currentThread() == qApp->thread();
            m_answeredAt = Clock::now();
            return QStringLiteral("ok");
        });
    }
    void TearDown() override { platform::Prompts::setAnswerer({}); }

    // Runs `work` on a worker thread while this (GUI) thread keeps handling events.
    void onWorker(const std::function<void()>& work)
    {
        std::atomic<bool> done { false };
        std::thread worker([&] {
            work();
            m_returnedAt = Clock::now();
            done = true;
        });
        const auto until = Clock::now() + std::chrono::seconds(10);
        while (!done.load() && Clock::now() < until)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        worker.join();
    }

    std::vector<platform::PromptInfo> m_seen;
    bool m_onGuiThread = false;
    Clock::time_point m_answeredAt;
    Clock::time_point m_returnedAt;
};

TEST_F(StaleFileNotice, WorkerHookShowsTheMessageOnTheGuiThreadAndWaitsForIt)
{
    QWidget owner;
    const applib::StaleFileHook hook = applib::staleFileNotice(&owner, QStringLiteral("工具箱提示"));
    const QString path = QStringLiteral("/tmp/Kavren工具箱更新包");
    onWorker([&] { hook(path); });

    ASSERT_EQ(m_seen.size(), 1u);
    EXPECT_TRUE(m_onGuiThread);
    EXPECT_EQ(m_seen[0].caption, QStringLiteral("工具箱提示"));
    EXPECT_EQ(m_seen[0].lines,
              QStringList { QStringLiteral("删除无效文件 /tmp/Kavren工具箱更新包 失败，请手动删除后再重新下载。") });
    EXPECT_LE(m_answeredAt, m_returnedAt);
}

TEST_F(StaleFileNotice, HookOnTheGuiThreadShowsDirectly)
{
    const applib::StaleFileHook hook = applib::staleFileNotice(nullptr, QStringLiteral("提示"));
    hook(QStringLiteral("a.exe"));
    ASSERT_EQ(m_seen.size(), 1u);
    EXPECT_TRUE(m_onGuiThread);
}

TEST_F(StaleFileNotice, OwnerGoneShowsNothing)
{
    auto* owner = new QWidget;
    const applib::StaleFileHook hook = applib::staleFileNotice(owner, QStringLiteral("提示"));
    delete owner;
    onWorker([&] { hook(QStringLiteral("a.exe")); });
    EXPECT_TRUE(m_seen.empty());
}

TEST_F(StaleFileNotice, UpdaterDownloadWiredToTheNoticeTellsTheUser)
{
    QTemporaryDir dir;
    const QString local = dir.filePath(QStringLiteral("Kavren工具箱更新包"));
    ASSERT_TRUE(QDir().mkpath(local + QStringLiteral("/inside"))); // cannot be deleted as a file
    QWidget owner;
    applib::AsyncDownload download;
    applib::DownloadResult result = applib::DownloadResult::Completed;
    // The download stops before any connection, so the address is never reached.
    onWorker([&] {
        result = applib::DownloadFile(download, QStringLiteral("http://127.0.0.1:9/p.exe"), local,
                                      applib::staleFileNotice(&owner, QStringLiteral("工具箱提示")));
    });
    EXPECT_EQ(result, applib::DownloadResult::Stopped);
    ASSERT_EQ(m_seen.size(), 1u);
    EXPECT_EQ(m_seen[0].lines, QStringList { applib::staleFileText(local) });
}

} // namespace
