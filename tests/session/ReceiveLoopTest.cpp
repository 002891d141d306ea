#include "tests/session/SessionTestSupport.h"

#include "session/BuildLoginCommand.h"
#include "session/ConnectWorker.h"
#include "session/Connection.h"
#include "session/CurrentUser.h"
#include "session/Frame.h"
#include "session/Protocol.h"
#include "session/ReadResult.h"
#include "session/ReceiveLoop.h"
#include "session/SessionRecord.h"

#include "platform/MessageIds.h"
#include "platform/MessageMap.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

namespace {

using namespace sessiontest;
using Kind = RecordingEvents::Kind;
using session::ReceiveLoop;
using session::SessionRecord;

session::CurrentUser userFor(const QString& phone)
{
    session::CurrentUser user;
    user.phone = phone;
    user.vipLevel = QStringLiteral("3");
    return user;
}

QByteArray pushPayload(const std::string& title)
{
    return QByteArray("{\"CommandType\":4,\"MessageList\":[{\"Id\":1,\"Title\":\"") + title.c_str() + "\"}]}\n";
}

QByteArray noticePayload(const std::string& members)
{
    return QByteArray("{\"CommandType\":3,\"Date\":\"d\",\"LoginId\":\"n\",\"SessionId\":\"sn\",") + members.c_str()
        + "}\n";
}

QByteArray header(std::uint32_t length)
{
    QByteArray bytes(4, '\0');
    session::Frame::writeLength(bytes.data(), length);
    return bytes;
}

std::vector<Kind> kindsOf(const std::vector<RecordingEvents::Event>& events)
{
    std::vector<Kind> kinds;
    for (const auto& event : events)
        kinds.push_back(event.kind);
    return kinds;
}

class ReceiveLoopTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_service.ok()); }

    // The first login of phone: connects, sends, reads the answer. Null when it failed.
    std::shared_ptr<session::ConnectWorker> login(const QString& phone, SessionRecord* record,
                                                  int operation = session::protocol::kNormalLogin)
    {
        *record = SessionRecord::forLogin(operation, phone, QStringLiteral("MAC-FIRST"));
        auto worker = session::ConnectWorker::start(kLoopback, m_service.sessionPort(),
                                                    session::BuildLoginCommand(*record, userFor(phone)));
        if (!worker->wait(session::protocol::kLoginConnectWaitMs) || worker->exitCode() != 0)
            return nullptr;
        QByteArray answer;
        if (worker->readLoginAnswer(&answer, 5000) <= 0)
            return nullptr;
        if (record->copyFrom(answer) != session::ReadResult::Ok)
            return nullptr;
        return worker;
    }

    // A logged-in phone with its receive loop running.
    std::unique_ptr<ReceiveLoop> loggedInLoop(const QString& phone, RecordingEvents& events)
    {
        SessionRecord record;
        auto worker = login(phone, &record);
        if (!worker || record.loginResult != 1)
            return nullptr;
        auto loop = std::make_unique<ReceiveLoop>(worker->takeConnection(), kLoopback, m_service.sessionPort(),
                                                  userFor(phone), &events);
        loop->setMacSource([] { return QStringLiteral("MAC-AFRESH"); });
        loop->start();
        return loop;
    }

    // The service writes these bytes to phone's connections in one write.
    void sendBytes(const std::string& phone, const QByteArray& bytes)
    {
        Json::Value body(Json::objectValue);
        body["phone"] = phone;
        body["hex"] = hexOf(bytes);
        ASSERT_EQ(m_service.post("/control/session/send", body)["sent"].asInt(), 1);
    }

    void pushTitle(const std::string& phone, const std::string& title)
    {
        Json::Value body(Json::objectValue);
        body["phone"] = phone;
        body["messages"][0]["Title"] = title;
        ASSERT_EQ(m_service.post("/control/session/push", body)["sent"].asInt(), 1);
    }

    LocalDevService m_service;
};

TEST_F(ReceiveLoopTest, RefusedThenForcedLoginWithOperationTwo)
{
    ASSERT_TRUE(m_service.post("/control/session/refuse-next", parseJson("{\"count\":1}"))["ok"].asBool());
    SessionRecord record;
    auto worker = login(QStringLiteral("13700000002"), &record);
    ASSERT_TRUE(worker);
    ASSERT_EQ(record.loginResult, 0) << "refused as online elsewhere";
    const QString refusedSession = record.sessionId;
    ASSERT_FALSE(refusedSession.isEmpty());

    // The user chose the forced login: the record with Operation 2 goes out, unanswered here.
    record.operation = session::protocol::kForcedLogin;
    ASSERT_TRUE(worker->connection()->sendCommand(session::BuildLoginCommand(record, userFor(record.loginId))));
    RecordingEvents events;
    ReceiveLoop loop(worker->takeConnection(), kLoopback, m_service.sessionPort(), userFor(record.loginId), &events);
    loop.start();

    const Json::Value forced = m_service.waitForCommand([](const Json::Value& c) { return c["operation"] == 2; });
    ASSERT_FALSE(forced.isNull());
    const Json::Value sent = parseJson(forced["payload"].asString());
    EXPECT_EQ(sent["SessionId"].asString(), refusedSession.toStdString());
    EXPECT_EQ(sent["LoginId"].asString(), "13700000002");
    EXPECT_EQ(sent["CommandType"].asInt(), 3);

    // Its answer arrives in the receive loop as a notice.
    ASSERT_TRUE(events.waitForCount(Kind::Notice, 1));
    const SessionRecord now = loop.record();
    EXPECT_EQ(now.operation, 2);
    EXPECT_EQ(now.loginResult, 1);
    EXPECT_EQ(events.ofKind(Kind::Displaced).size(), 0u);
}

TEST_F(ReceiveLoopTest, LoginWhileOnlineElsewhereIsRefusedAndForcingDisplacesTheOther)
{
    RecordingEvents first;
    auto loop = loggedInLoop(QStringLiteral("13700000003"), first);
    ASSERT_TRUE(loop);

    SessionRecord record;
    auto second = login(QStringLiteral("13700000003"), &record);
    ASSERT_TRUE(second);
    EXPECT_EQ(record.loginResult, 0);
    record.operation = session::protocol::kForcedLogin;
    second->connection()->sendCommand(session::BuildLoginCommand(record, userFor(record.loginId)));

    ASSERT_TRUE(first.waitForCount(Kind::Displaced, 1));
    EXPECT_EQ(kindsOf(first.events()), (std::vector<Kind> { Kind::Notice, Kind::Displaced }));
    const SessionRecord displaced = first.ofKind(Kind::Displaced).front().record;
    EXPECT_EQ(displaced.operation, session::protocol::kLoggedInElsewhere);
    EXPECT_EQ(displaced.loginId, QStringLiteral("13700000003"));
    EXPECT_EQ(loop->record().operation, 3);
}

TEST_F(ReceiveLoopTest, DisplaceFromTheControlApiReachesTheShellSide)
{
    RecordingEvents events;
    auto loop = loggedInLoop(QStringLiteral("13700000004"), events);
    ASSERT_TRUE(loop);
    EXPECT_EQ(m_service.post("/control/session/displace", parseJson("{\"phone\":\"13700000004\"}"))["sent"].asInt(), 1);
    ASSERT_TRUE(events.waitForCount(Kind::Displaced, 1));
}

TEST_F(ReceiveLoopTest, NoticeInTheLoginAnswersPacketIsDeliveredAfterIt)
{
    Json::Value body(Json::objectValue);
    body["append"].append(pushPayload("same-packet").toStdString());
    body["append"].append(noticePayload("\"LoginResult\":true,\"Operation\":2").toStdString());
    ASSERT_TRUE(m_service.post("/control/session/next-login", body)["ok"].asBool());

    SessionRecord record;
    auto worker = login(QStringLiteral("13700000005"), &record);
    ASSERT_TRUE(worker);
    EXPECT_EQ(record.loginResult, 1);
    EXPECT_EQ(record.operation, 1) << "the first command read is the login answer";

    RecordingEvents events;
    ReceiveLoop loop(worker->takeConnection(), kLoopback, m_service.sessionPort(), userFor(record.loginId), &events);
    loop.start();
    ASSERT_TRUE(events.waitForCount(Kind::Notice, 1));
    EXPECT_EQ(kindsOf(events.events()), (std::vector<Kind> { Kind::Push, Kind::Notice }));
    EXPECT_TRUE(events.events()[0].text.contains("same-packet"));
    EXPECT_EQ(loop.record().operation, 2);
    EXPECT_EQ(loop.record().sessionId, QStringLiteral("sn"));
}

TEST_F(ReceiveLoopTest, DroppedSessionReconnectsOnceASecondWithOperationFour)
{
    RecordingEvents events;
    auto loop = loggedInLoop(QStringLiteral("13700000006"), events);
    ASSERT_TRUE(loop);

    ASSERT_FALSE(m_service.post("/control/session/listen", parseJson("{\"open\":false}"))["listening"].asBool());
    const Clock::time_point dropped = Clock::now();
    EXPECT_EQ(m_service.post("/control/session/drop", Json::Value(Json::objectValue))["dropped"].asInt(), 1);

    ASSERT_TRUE(events.waitForCount(Kind::Attempt, 3, 5000));
    ASSERT_TRUE(m_service.post("/control/session/listen", parseJson("{\"open\":true}"))["listening"].asBool());
    ASSERT_TRUE(events.waitForCount(Kind::Notice, 1, 5000));

    const auto attempts = events.ofKind(Kind::Attempt);
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(attempts[0].at - dropped).count(), 600)
        << "the first attempt follows the loss at once";
    for (std::size_t i = 1; i < 3; ++i) {
        const auto gap = std::chrono::duration_cast<std::chrono::milliseconds>(attempts[i].at - attempts[i - 1].at);
        EXPECT_GE(gap.count(), 900) << "attempt " << i + 1;
        EXPECT_LE(gap.count(), 1600) << "attempt " << i + 1;
        EXPECT_EQ(attempts[i].attempt, static_cast<int>(i + 1));
    }

    const Json::Value relogin = m_service.waitForCommand([](const Json::Value& c) { return c["operation"] == 4; });
    ASSERT_FALSE(relogin.isNull());
    const Json::Value sent = parseJson(relogin["payload"].asString());
    EXPECT_EQ(sent["LoginId"].asString(), "13700000006");
    EXPECT_EQ(sent["SessionId"].asString(), "");
    EXPECT_EQ(sent["LoginResult"].asInt(), 0);
    EXPECT_EQ(sent["MacAddress"].asString(), "MAC-AFRESH");

    const SessionRecord now = loop->record();
    EXPECT_EQ(now.operation, 4);
    EXPECT_EQ(now.loginResult, 1);
    EXPECT_EQ(now.macAddress, QStringLiteral("MAC-AFRESH"));

    // The new session carries pushes again.
    pushTitle("13700000006", "after-reconnect");
    EXPECT_TRUE(events.waitForPush("after-reconnect"));
}

// Bytes the service writes that the loop survives on the same connection; a sentinel push
// follows, and the events before it must be exactly these.
struct SurvivableCase
{
    std::string name;
    QByteArray wire;
    std::vector<Kind> expected;
    std::string textMustHave = {};
    std::string textMustLack = {};
};

class ReceiveLoopSurvives : public ReceiveLoopTest, public ::testing::WithParamInterface<SurvivableCase>
{
};

TEST_P(ReceiveLoopSurvives, DispatchesOrDropsAndStaysConnected)
{
    const SurvivableCase& row = GetParam();
    RecordingEvents events;
    auto loop = loggedInLoop(QStringLiteral("13700000007"), events);
    ASSERT_TRUE(loop);
    sendBytes("13700000007", row.wire);
    pushTitle("13700000007", "sentinel");
    ASSERT_TRUE(events.waitForPush("sentinel"));

    std::vector<RecordingEvents::Event> before = events.events();
    before.pop_back();
    EXPECT_EQ(kindsOf(before), row.expected);
    if (!row.textMustHave.empty() || !row.textMustLack.empty()) {
        ASSERT_FALSE(before.empty());
        EXPECT_TRUE(before.front().text.contains(row.textMustHave.c_str()));
        if (!row.textMustLack.empty()) {
            EXPECT_FALSE(before.front().text.contains(row.textMustLack.c_str()));
        }
    }
    EXPECT_TRUE(events.ofKind(Kind::Attempt).empty()) << "the connection was never lost";
}

std::vector<SurvivableCase> survivableCases()
{
    using session::Frame;
    return {
        { "NotJsonDropped", Frame::encode("hello"), {} },
        { "EmptyPayloadDropped", Frame::encode(""), {} },
        { "JsonArrayDropped", Frame::encode("[3,4]"), {} },
        { "UnknownCommandTypeIgnored", Frame::encode("{\"CommandType\":9}"), {} },
        { "StringOperationRaisesBadMember",
          Frame::encode(noticePayload("\"LoginResult\":true,\"Operation\":\"3\"")),
          { Kind::BadMember } },
        { "StringCommandTypeRaisesBadMember",
          Frame::encode("{\"CommandType\":\"4\",\"MessageList\":[]}"),
          { Kind::BadMember } },
        { "PushWithStringIdStillHandedOver",
          Frame::encode("{\"CommandType\":4,\"MessageList\":[{\"Id\":\"x\"}]}"),
          { Kind::Push },
          "\"Id\":\"x\"" },
        { "NoticeWithOperationTwoIsANoticeOnly",
          Frame::encode(noticePayload("\"LoginResult\":true,\"Operation\":2")),
          { Kind::Notice } },
        { "NoticeWithOperationFourIsANoticeOnly",
          Frame::encode(noticePayload("\"LoginResult\":true,\"Operation\":4")),
          { Kind::Notice } },
        { "OperationThreeDisplaces",
          Frame::encode(noticePayload("\"Operation\":3")),
          { Kind::Notice, Kind::Displaced } },
        { "TwoFramesInOnePacketBothInOrder",
          Frame::encode(pushPayload("first")) + Frame::encode(pushPayload("second")),
          { Kind::Push, Kind::Push },
          "first" },
        { "ZeroByteEndsTheText",
          Frame::encode(pushPayload("cut") + QByteArray("\0tail", 5)),
          { Kind::Push },
          "cut",
          "tail" },
        { "LengthFieldCountedNotGuessed",
          Frame::encode(pushPayload("a")) + Frame::encode(QByteArray(5000, ' ') + pushPayload("padded")),
          { Kind::Push, Kind::Push },
          "\"a\"" },
    };
}

INSTANTIATE_TEST_SUITE_P(Rows, ReceiveLoopSurvives, ::testing::ValuesIn(survivableCases()),
                         [](const ::testing::TestParamInfo<SurvivableCase>& param) { return param.param.name; });

TEST_F(ReceiveLoopTest, ClosingTheConnectionEndsTheSessionWithoutReconnecting)
{
    // What the exit routines do: the service sees the session end, and nothing reconnects.
    RecordingEvents events;
    auto loop = loggedInLoop(QStringLiteral("13700000009"), events);
    ASSERT_TRUE(loop);
    loop->closeConnection();
    const Clock::time_point closed = Clock::now();
    bool gone = false;
    while (!gone && msSince(closed) < 5000) {
        gone = true;
        for (const Json::Value& s : m_service.get("/control/session/state")["sessions"])
            gone = gone && s["loginId"].asString() != "13700000009";
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(gone) << "the service still holds the session";
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_TRUE(events.ofKind(Kind::Attempt).empty()) << "an exit must not reconnect";
}

TEST_F(ReceiveLoopTest, FrameInThreeWritesIsOneCommand)
{
    RecordingEvents events;
    auto loop = loggedInLoop(QStringLiteral("13700000008"), events);
    ASSERT_TRUE(loop);
    const QByteArray frame = session::Frame::encode(pushPayload("pieces"));
    sendBytes("13700000008", frame.left(3));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    sendBytes("13700000008", frame.mid(3, 10));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(events.events().empty());
    sendBytes("13700000008", frame.mid(13));
    ASSERT_TRUE(events.waitForPush("pieces"));
    EXPECT_EQ(events.events().size(), 1u);
}

// Bytes that cannot be framed: the loop keeps what came before, drops the connection and
// logs in again with Operation 4.
struct BreakingCase
{
    std::string name;
    QByteArray wire;
    bool thenDrop = false; // the service closes the connection after writing
};

class ReceiveLoopReconnects : public ReceiveLoopTest, public ::testing::WithParamInterface<BreakingCase>
{
};

TEST_P(ReceiveLoopReconnects, AfterABrokenStream)
{
    const BreakingCase& row = GetParam();
    RecordingEvents events;
    auto loop = loggedInLoop(QStringLiteral("13700000009"), events);
    ASSERT_TRUE(loop);
    sendBytes("13700000009", session::Frame::encode(pushPayload("before")) + row.wire);
    if (row.thenDrop) {
        ASSERT_TRUE(events.waitForPush("before"));
        m_service.post("/control/session/drop", Json::Value(Json::objectValue));
    }
    ASSERT_TRUE(events.waitForCount(Kind::Notice, 1));
    EXPECT_EQ(kindsOf(events.events()), (std::vector<Kind> { Kind::Push, Kind::Attempt, Kind::Notice }));
    EXPECT_TRUE(events.events()[0].text.contains("before"));
    EXPECT_EQ(loop->record().operation, 4);
    EXPECT_EQ(loop->record().loginResult, 1);
    EXPECT_FALSE(m_service.waitForCommand([](const Json::Value& c) { return c["operation"] == 4; }).isNull());
}

std::vector<BreakingCase> breakingCases()
{
    const QByteArray oversized = header(11004) + QByteArray(11000, 'x');
    return {
        { "LengthZero", header(0) + pushPayload("lost") },
        { "LengthThree", header(3) + QByteArray("abc") },
        { "LengthOverTheLimit", header(10241) + QByteArray(10237, 'y') },
        { "PayloadOverTheLimit", oversized },
        { "ClosedInTheMiddleOfAFrame", session::Frame::encode(pushPayload("half")).left(20), true },
        { "ClosedAfterTwoLengthBytes", header(50).left(2), true },
    };
}

INSTANTIATE_TEST_SUITE_P(Rows, ReceiveLoopReconnects, ::testing::ValuesIn(breakingCases()),
                         [](const ::testing::TestParamInfo<BreakingCase>& param) { return param.param.name; });

// The shell's way: every event handed over synchronously to the GUI thread's message map.
class GuiHandOver : public session::SessionEvents
{
public:
    explicit GuiHandOver(platform::MessageMap& map)
        : m_map(map)
    {
    }
    void onNotice(const SessionRecord&) override { m_map.send(platform::msg::kSessionNotice); }
    void onDisplaced(const SessionRecord&) override { m_map.send(platform::msg::kSessionDisplaced); }
    void onBadMember() override { m_map.send(platform::msg::kSessionBadMember); }
    void onPushMessages(const QByteArray& text) override { m_map.send(platform::msg::kPushMessages, 0, text); }

private:
    platform::MessageMap& m_map;
};

TEST_F(ReceiveLoopTest, PushesReachTheGuiThreadInOrderAndStopDoesNotDeadlock)
{
    platform::MessageMap map;
    std::vector<QByteArray> handed;
    bool offGuiThread = false;
    map.on(platform::msg::kPushMessages, [&](quintptr, const QVariant& text) {
        offGuiThread = offGuiThread || QThread::currentThread() != QCoreApplication::instance()->thread();
        handed.push_back(text.toByteArray());
        return qintptr(1);
    });
    GuiHandOver handOver(map);
    SessionRecord record;
    auto worker = login(QStringLiteral("13700000010"), &record);
    ASSERT_TRUE(worker);
    ReceiveLoop loop(worker->takeConnection(), kLoopback, m_service.sessionPort(), userFor(record.loginId), &handOver);
    loop.start();

    for (const char* title : { "one", "two", "three" })
        pushTitle("13700000010", title);
    const Clock::time_point start = Clock::now();
    while (handed.size() < 3 && msSince(start) < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_EQ(handed.size(), 3u);
    EXPECT_TRUE(handed[0].contains("\"one\""));
    EXPECT_TRUE(handed[1].contains("\"two\""));
    EXPECT_TRUE(handed[2].contains("\"three\""));
    EXPECT_FALSE(offGuiThread);

    // The receive thread now blocks in a hand-over that this (GUI) thread has not run yet.
    pushTitle("13700000010", "four");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const Clock::time_point stopping = Clock::now();
    loop.stop();
    EXPECT_LT(msSince(stopping), 2000);
    EXPECT_EQ(handed.size(), 4u) << "the blocked hand-over finished during stop()";
}

} // namespace
