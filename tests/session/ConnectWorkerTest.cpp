#include "tests/session/SessionTestSupport.h"

#include "session/BuildLoginCommand.h"
#include "session/ConnectWorker.h"
#include "session/Connection.h"
#include "session/CurrentUser.h"
#include "session/Frame.h"
#include "session/Protocol.h"
#include "session/ReadResult.h"
#include "session/SessionRecord.h"

#include "devservice/SessionServer.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

namespace {

using namespace sessiontest;
using session::ConnectWorker;
using session::protocol::kLoginConnectWaitMs;

session::CurrentUser user(const QString& phone)
{
    session::CurrentUser u;
    u.phone = phone;
    u.vipLevel = QStringLiteral("1");
    u.setClass(2, true);
    return u;
}

QByteArray firstLogin(const QString& phone)
{
    return session::BuildLoginCommand(
        session::SessionRecord::forLogin(session::protocol::kNormalLogin, phone, QStringLiteral("MAC")), user(phone));
}

class ConnectWorkerAgainstDevService : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_service.ok()); }
    LocalDevService m_service;
};

TEST_F(ConnectWorkerAgainstDevService, LoginAcceptedAndSentByteForByte)
{
    const QByteArray command = firstLogin(QStringLiteral("13900000001"));
    auto worker = ConnectWorker::start(kLoopback, m_service.sessionPort(), command);
    ASSERT_TRUE(worker->wait(kLoginConnectWaitMs));
    EXPECT_EQ(worker->exitCode(), 0);

    QByteArray answer;
    const int n = worker->readLoginAnswer(&answer, session::protocol::kLoginAnswerWaitMs);
    ASSERT_GT(n, 0);
    EXPECT_EQ(n, answer.size() + 4);
    session::SessionRecord record
        = session::SessionRecord::forLogin(session::protocol::kNormalLogin, QStringLiteral("13900000001"), {});
    ASSERT_EQ(record.copyFrom(answer), session::ReadResult::Ok);
    EXPECT_EQ(record.loginResult, 1);
    EXPECT_EQ(record.operation, 1);
    EXPECT_EQ(record.loginId, QStringLiteral("13900000001"));
    EXPECT_FALSE(record.sessionId.isEmpty());

    const Json::Value received = m_service.waitForCommand([](const Json::Value& c) { return c["commandType"] == 3; });
    EXPECT_EQ(received["payload"].asString(), command.toStdString()) << "the service got the exact command text";
}

TEST_F(ConnectWorkerAgainstDevService, ServiceClosingWithoutAnswerReadsZero)
{
    // The stalled service reads the login and never answers; dropping the session closes it.
    m_service.post("/control/session/stall", parseJson("{\"stall\":true}"));
    auto worker = ConnectWorker::start(kLoopback, m_service.sessionPort(), firstLogin(QStringLiteral("1")));
    ASSERT_TRUE(worker->wait(kLoginConnectWaitMs));
    m_service.waitForCommand([](const Json::Value& c) { return c["commandType"] == 3; });
    m_service.post("/control/session/drop", Json::Value(Json::objectValue));
    QByteArray answer;
    EXPECT_EQ(worker->readLoginAnswer(&answer, 5000), 0);
}

TEST(ConnectWorker, RefusedConnectFailsAtOnceAndTheReadFails)
{
    const Clock::time_point start = Clock::now();
    auto worker = ConnectWorker::start(kLoopback, closedPort(), firstLogin(QStringLiteral("1")));
    ASSERT_TRUE(worker->wait(kLoginConnectWaitMs));
    EXPECT_LT(msSince(start), 1000);
    EXPECT_EQ(worker->exitCode(), -1);
    QByteArray answer;
    EXPECT_EQ(worker->readLoginAnswer(&answer, 1000), -1) << "a failed connect shows as a receive failure";
    EXPECT_EQ(worker->takeConnection(), nullptr);
}

TEST(ConnectWorker, AbandonedHangingConnectEndsPromptly)
{
    BareListener listener(0);
    ASSERT_TRUE(listener.fillBacklog());
    auto worker = ConnectWorker::start(kLoopback, listener.port(), firstLogin(QStringLiteral("1")));
    EXPECT_FALSE(worker->wait(300)) << "the connect hangs";
    const Clock::time_point abandoned = Clock::now();
    worker->abandon();
    ASSERT_TRUE(worker->wait(1000));
    EXPECT_LT(msSince(abandoned), 500);
    EXPECT_EQ(worker->exitCode(), -1);
}

TEST(ConnectWorker, LateWorkerNeverTouchesALaterAttempt)
{
    // The first attempt hangs past the login's wait and is given up (without being stopped:
    // its connect completes later). The second attempt goes to a working service. When the
    // late worker's connect completes it must send on its own socket only.
    LocalDevService service;
    ASSERT_TRUE(service.ok());
    BareListener hanging(0);
    ASSERT_TRUE(hanging.fillBacklog());

    auto late = ConnectWorker::start(kLoopback, hanging.port(), firstLogin(QStringLiteral("late")));
    EXPECT_FALSE(late->wait(300));

    auto current = ConnectWorker::start(kLoopback, service.sessionPort(), firstLogin(QStringLiteral("current")));
    ASSERT_TRUE(current->wait(kLoginConnectWaitMs));
    QByteArray answer;
    ASSERT_GT(current->readLoginAnswer(&answer, 5000), 0);

    // Let the hanging connect through: accept what is queued until the late worker is done.
    hanging.releaseFillers();
    std::string lateBytes;
    const Clock::time_point start = Clock::now();
    while (!late->finished() && msSince(start) < 8000) {
        const int fd = hanging.acceptOne(100);
        if (fd >= 0)
            lateBytes += BareListener::readSome(fd, 50);
    }
    ASSERT_TRUE(late->finished());
    EXPECT_EQ(late->exitCode(), 0);
    for (int fd; (fd = hanging.acceptOne(200)) >= 0;)
        lateBytes += BareListener::readSome(fd, 200);
    EXPECT_NE(lateBytes.find("\"LoginId\":\"late\""), std::string::npos) << "the late login went to its own peer";

    // The current session is untouched: still open, and only its own login reached the service.
    session::Connection* connection = current->connection();
    ASSERT_NE(connection, nullptr);
    EXPECT_EQ(service.post("/control/session/push", parseJson("{\"phone\":\"current\"}"))["sent"].asInt(), 1);
    ASSERT_EQ(connection->receive(&answer, 5000), session::Connection::ReceiveStatus::Command);
    EXPECT_TRUE(answer.contains("\"CommandType\":4"));
    int logins = 0;
    for (const Json::Value& c : service.commands())
        logins += c["commandType"] == 3 ? 1 : 0;
    EXPECT_EQ(logins, 1);
}

TEST(ConnectWorker, AnswerThatNeverComesIsGivenUpAfterFifteenSeconds)
{
    BareListener silent;
    auto worker = ConnectWorker::start(kLoopback, silent.port(), firstLogin(QStringLiteral("1")));
    ASSERT_TRUE(worker->wait(kLoginConnectWaitMs));
    ASSERT_EQ(worker->exitCode(), 0);
    const int peer = silent.acceptOne();
    ASSERT_GE(peer, 0);
    const Clock::time_point start = Clock::now();
    QByteArray answer;
    EXPECT_EQ(worker->readLoginAnswer(&answer, session::protocol::kLoginAnswerWaitMs), -1);
    const long long waited = msSince(start);
    EXPECT_GE(waited, 14500);
    EXPECT_LT(waited, 17000);
}

TEST(ConnectWorker, PeerClosingMidFrameIsAReadFailure)
{
    BareListener listener;
    auto worker = ConnectWorker::start(kLoopback, listener.port(), firstLogin(QStringLiteral("1")));
    ASSERT_TRUE(worker->wait(kLoginConnectWaitMs));
    const int peer = listener.acceptOne();
    ASSERT_GE(peer, 0);
    const QByteArray frame = session::Frame::encode("{\"CommandType\":3,\"LoginResult\":true}\n");
    ASSERT_EQ(::send(peer, frame.constData(), 10, MSG_NOSIGNAL), 10);
    ::shutdown(peer, SHUT_WR);
    QByteArray answer;
    EXPECT_EQ(worker->readLoginAnswer(&answer, 5000), -1);
}

} // namespace
