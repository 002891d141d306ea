#include "tests/session/SessionTestSupport.h"

#include "session/Frame.h"
#include "session/Protocol.h"
#include "session/ReadResult.h"
#include "session/UpdateCheckAnswer.h"
#include "session/UpdateCheckRequest.h"
#include "session/UpdateExchange.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

namespace {

using namespace sessiontest;

QByteArray request()
{
    session::UpdateCheckRequest r;
    r.clientMd5 = QStringLiteral("abc");
    r.macAddress = QStringLiteral("00-11-22-33-44-55");
    r.version = QStringLiteral("2.1.2");
    return r.toJson();
}

class UpdateExchangeAgainstDevService : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_service.ok()); }
    LocalDevService m_service;
};

TEST_F(UpdateExchangeAgainstDevService, AnswersWithTheSettableUpdateAnswer)
{
    ASSERT_TRUE(m_service
                    .post("/control/session/update",
                          parseJson("{\"Version\":\"2.2.0\",\"LowestVersion\":\"2.0\",\"UpdateUrl\":\"http://h/u.exe\","
                                    "\"UpdateLog\":\"fixes\",\"ValidateResult\":false}"))["ok"]
                    .asBool());
    session::UpdateExchange exchange;
    const int n = exchange.run(kLoopback, m_service.sessionPort(), request());
    ASSERT_GT(n, 0);
    EXPECT_EQ(n, exchange.answer().size() + 4);
    EXPECT_TRUE(exchange.connected());
    session::UpdateCheckAnswer answer;
    ASSERT_EQ(answer.read(exchange.answer()), session::ReadResult::Ok);
    EXPECT_EQ(answer.version, QStringLiteral("2.2.0"));
    EXPECT_EQ(answer.lowestVersion, QStringLiteral("2.0"));
    EXPECT_EQ(answer.updateUrl, QStringLiteral("http://h/u.exe"));
    EXPECT_EQ(answer.updateLog, QStringLiteral("fixes"));
    EXPECT_FALSE(answer.validateResult);

    const Json::Value received = m_service.waitForCommand([](const Json::Value& c) { return c["commandType"] == 2; });
    const Json::Value sent = parseJson(received["payload"].asString());
    EXPECT_EQ(sent["StartUpFileName"].asString(), "kavrenup.exe");
    EXPECT_EQ(received["payload"].asString(), request().toStdString());
}

TEST_F(UpdateExchangeAgainstDevService, RawAnswerIsHandedOverAsIs)
{
    m_service.post("/control/session/update", parseJson("{\"raw\":\"{\\\"ValidateResult\\\":\\\"yes\\\"}\\n\"}"));
    session::UpdateExchange exchange;
    ASSERT_GT(exchange.run(kLoopback, m_service.sessionPort(), request()), 0);
    EXPECT_EQ(exchange.answer(), QByteArray("{\"ValidateResult\":\"yes\"}\n"));
    session::UpdateCheckAnswer answer;
    EXPECT_EQ(answer.read(exchange.answer()), session::ReadResult::BadMember);
}

TEST_F(UpdateExchangeAgainstDevService, ListenerThatNeverAnswersGivesMinusOneAfterSixSeconds)
{
    m_service.post("/control/session/stall", parseJson("{\"stall\":true}"));
    const Clock::time_point start = Clock::now();
    session::UpdateExchange exchange;
    EXPECT_EQ(exchange.run(kLoopback, m_service.sessionPort(), request()), -1);
    const long long waited = msSince(start);
    EXPECT_GE(waited, 5800);
    EXPECT_LT(waited, 8000);
    EXPECT_TRUE(exchange.connected());
    EXPECT_TRUE(exchange.answer().isEmpty());
}

TEST(UpdateExchange, ClosedPortGivesZeroAtOnce)
{
    const Clock::time_point start = Clock::now();
    session::UpdateExchange exchange;
    EXPECT_EQ(exchange.run(kLoopback, closedPort(), request()), 0);
    EXPECT_LT(msSince(start), 500);
    EXPECT_FALSE(exchange.connected());
}

TEST(UpdateExchange, HangingConnectGivesZeroAfterThreeSeconds)
{
    BareListener listener(0);
    ASSERT_TRUE(listener.fillBacklog());
    const Clock::time_point start = Clock::now();
    session::UpdateExchange exchange;
    EXPECT_EQ(exchange.run(kLoopback, listener.port(), request()), 0);
    const long long waited = msSince(start);
    EXPECT_GE(waited, 2900);
    EXPECT_LT(waited, 4500);
    EXPECT_FALSE(exchange.connected());
}

// How the one read ends when the service misbehaves after accepting.
struct PeerCase
{
    std::string name;
    QByteArray bytes; // what the service writes before closing its side
    int expected; // -2: the answer's frame size
};

class UpdateExchangePeers : public ::testing::TestWithParam<PeerCase>
{
};

TEST_P(UpdateExchangePeers, ReadOutcome)
{
    const PeerCase& row = GetParam();
    BareListener listener;
    std::thread peer([&] {
        const int fd = listener.acceptOne(3000);
        if (fd < 0)
            return;
        BareListener::readSome(fd, 200); // the request
        if (!row.bytes.isEmpty())
            ::send(fd, row.bytes.constData(), static_cast<size_t>(row.bytes.size()), MSG_NOSIGNAL);
        ::shutdown(fd, SHUT_WR);
    });
    session::UpdateExchange exchange;
    const int result = exchange.run(kLoopback, listener.port(), request());
    peer.join();
    EXPECT_EQ(result, row.expected == -2 ? row.bytes.size() : row.expected);
}

std::vector<PeerCase> peerCases()
{
    const QByteArray answer = session::Frame::encode("{\"Version\":\"2.1.2\"}\n");
    QByteArray badLength = answer;
    badLength[0] = '\0';
    return {
        { "ClosesWithoutAnswer", {}, 0 },
        { "AnswersThenCloses", answer, -2 },
        { "ClosesInTheMiddleOfTheAnswer", answer.left(9), -1 },
        { "SendsOnlyTwoLengthBytes", answer.left(2), -1 },
        { "AnswersWithLengthZero", badLength, -1 },
    };
}

INSTANTIATE_TEST_SUITE_P(Rows, UpdateExchangePeers, ::testing::ValuesIn(peerCases()),
                         [](const ::testing::TestParamInfo<PeerCase>& param) { return param.param.name; });

} // namespace
