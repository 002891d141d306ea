#include "platform/Process.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QCoreApplication>
#include <QThread>

#include <csignal>

#include <gtest/gtest.h>

namespace {

TEST(Process, ExecutableNameHasNoSuffixOnLinux)
{
    EXPECT_EQ(platform::Process::executableName(QStringLiteral("kavrenbox")), QStringLiteral("kavrenbox"));
}

TEST(Process, TerminateByImageNameEndsOnlyThatImage)
{
    // A private copy of sleep with a name nothing else on the machine has.
    QTemporaryDir dir;
    const QString image = QStringLiteral("kavren-sleeper-%1").arg(QCoreApplication::applicationPid());
    const QString path = dir.filePath(image);
    ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/sleep"), path));
    QFile::setPermissions(path, QFile::ExeOwner | QFile::ReadOwner);

    qint64 a = 0, b = 0, other = 0;
    ASSERT_TRUE(platform::Process::startDetached(path, {QStringLiteral("30")}, {}, &a));
    ASSERT_TRUE(platform::Process::startDetached(path, {QStringLiteral("30")}, {}, &b));
    ASSERT_TRUE(platform::Process::startDetached(QStringLiteral("/bin/sleep"), {QStringLiteral("30")}, {}, &other));
    QThread::msleep(100);
    EXPECT_TRUE(platform::Process::isRunning(a));

    EXPECT_EQ(platform::Process::terminateByImageName(image), 2);
    QElapsedTimer t;
    t.start();
    while ((platform::Process::isRunning(a) || platform::Process::isRunning(b)) && t.elapsed() < 5000)
        QThread::msleep(20);
    EXPECT_FALSE(platform::Process::isRunning(a));
    EXPECT_FALSE(platform::Process::isRunning(b));
    EXPECT_TRUE(platform::Process::isRunning(other));
    ::kill(static_cast<pid_t>(other), SIGKILL);
    EXPECT_EQ(platform::Process::terminateByImageName(image), 0) << "nothing left: one bounded pass";
}

} // namespace
