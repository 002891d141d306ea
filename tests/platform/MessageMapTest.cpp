#include "platform/MessageMap.h"
#include "platform/SingleInstance.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

// Runs the event loop until done() or timeoutMs.
template <typename Done>
bool spinUntil(Done done, int timeoutMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

TEST(MessageMap, SendFromWorkerBlocksUntilGuiThreadHandled)
{
    platform::MessageMap map;
    std::atomic<bool> handled{false};
    Qt::HANDLE handlerThread = nullptr;
    map.on(0x2C, [&](quintptr w, const QVariant& l) {
        handlerThread = QThread::currentThreadId();
        EXPECT_EQ(w, 7u);
        EXPECT_EQ(l.toString(), QStringLiteral("payload"));
        QThread::msleep(50);
        handled = true;
        return qintptr(99);
    });
    std::atomic<qintptr> result{0};
    std::atomic<bool> sawHandledOnReturn{false};
    std::thread worker([&] {
        result = map.send(0x2C, 7, QStringLiteral("payload"));
        sawHandledOnReturn = handled.load();
    });
    ASSERT_TRUE(spinUntil([&] { return result.load() != 0; }));
    worker.join();
    EXPECT_EQ(result.load(), 99);
    EXPECT_TRUE(sawHandledOnReturn);
    EXPECT_EQ(handlerThread, QThread::currentThreadId());
}

TEST(MessageMap, SendOnOwnThreadIsDirectCall)
{
    platform::MessageMap map;
    int calls = 0;
    map.on(1, [&](quintptr, const QVariant&) { return qintptr(++calls); });
    EXPECT_EQ(map.send(1), 1);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(map.send(12345), 0) << "an id without handler answers 0";
}

TEST(MessageMap, PostRunsLaterInOrderFromAnyThread)
{
    platform::MessageMap map;
    std::vector<int> seen;
    map.on(5, [&](quintptr w, const QVariant&) {
        seen.push_back(static_cast<int>(w));
        return qintptr(0);
    });
    map.post(5, 1);
    EXPECT_TRUE(seen.empty()) << "post must not run the handler before returning";
    std::thread([&] {
        map.post(5, 2);
        map.post(5, 3);
    }).join();
    ASSERT_TRUE(spinUntil([&] { return seen.size() == 3; }));
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
}

TEST(SingleInstance, SecondHolderIsRefusedAndAsksFirstToShow)
{
    QTemporaryDir tmp;
    qputenv("TMPDIR", tmp.path().toLocal8Bit());
    const QString name = QStringLiteral("KavrenTestMutex");
    platform::SingleInstance first(name);
    ASSERT_TRUE(first.acquire());
    int shows = 0;
    QObject::connect(&first, &platform::SingleInstance::showRequested, [&] { ++shows; });

    platform::SingleInstance second(name);
    EXPECT_FALSE(second.acquire());
    std::atomic<bool> answered{false};
    std::thread asker([&] { answered = platform::SingleInstance(name).requestShow(3000); });
    ASSERT_TRUE(spinUntil([&] { return shows == 1; }));
    asker.join();
    EXPECT_TRUE(answered);
    qunsetenv("TMPDIR");
}

} // namespace
