#include "session/BuildLoginCommand.h"
#include "session/CurrentUser.h"
#include "session/Protocol.h"
#include "session/PushMessages.h"
#include "session/ReadResult.h"
#include "session/SessionRecord.h"
#include "session/UpdateCheckAnswer.h"
#include "session/UpdateCheckRequest.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace {

using session::ReadResult;
using session::SessionRecord;

const QString kPhone = QStringLiteral("13800138000");
const QString kMac = QStringLiteral("0A-1B-2C-3D-4E-5F");

session::CurrentUser userWith(const QString& vipLevel, std::initializer_list<std::pair<int, bool>> classes)
{
    session::CurrentUser user;
    user.phone = kPhone;
    user.vipLevel = vipLevel;
    for (const auto& [id, joined] : classes)
        user.setClass(id, joined);
    return user;
}

// One row: the record and user a login command is built from, and the exact payload expected.
struct LoginCase
{
    std::string name;
    SessionRecord record;
    session::CurrentUser user;
    QByteArray expected;
};

class LoginCommands : public ::testing::TestWithParam<LoginCase>
{
};

TEST_P(LoginCommands, ByteExact)
{
    const LoginCase& row = GetParam();
    EXPECT_EQ(session::BuildLoginCommand(row.record, row.user), row.expected);
}

SessionRecord refusedThenForced()
{
    SessionRecord record = SessionRecord::forLogin(session::protocol::kNormalLogin, kPhone, kMac);
    EXPECT_EQ(record.copyFrom(QByteArray("{\"CommandType\":3,\"Date\":\"2024-01-02 03:04:05\",\"LoginId\":\"other-id\","
                                         "\"LoginResult\":false,\"Operation\":1,\"SessionId\":\"S42\"}\n")),
              ReadResult::Ok);
    record.operation = session::protocol::kForcedLogin;
    return record;
}

std::vector<LoginCase> loginCases()
{
    const SessionRecord first = SessionRecord::forLogin(session::protocol::kNormalLogin, kPhone, kMac);
    const SessionRecord reconnect = SessionRecord::forLogin(session::protocol::kReconnectLogin, kPhone, kMac);
    return {
        { "Vip1WithClasses2And5", first, userWith(QStringLiteral("1"), { { 2, true }, { 5, true } }),
          "{\"ClassInfo\":[2,5],\"CommandType\":3,\"IsVip\":true,\"LoginId\":\"13800138000\",\"LoginResult\":0,"
          "\"MacAddress\":\"0A-1B-2C-3D-4E-5F\",\"Operation\":1,\"SessionId\":\"\",\"VipLevel\":\"1\"}\n" },
        { "Vip3WithoutClass", first, userWith(QStringLiteral("3"), {}),
          "{\"CommandType\":3,\"IsVip\":false,\"LoginId\":\"13800138000\",\"LoginResult\":0,"
          "\"MacAddress\":\"0A-1B-2C-3D-4E-5F\",\"Operation\":1,\"SessionId\":\"\",\"VipLevel\":\"3\"}\n" },
        { "ClassesPresentButNotJoinedAreLeftOut", first,
          userWith(QStringLiteral("0"), { { 1, false }, { 3, true }, { 4, false } }),
          "{\"ClassInfo\":[3],\"CommandType\":3,\"IsVip\":false,\"LoginId\":\"13800138000\",\"LoginResult\":0,"
          "\"MacAddress\":\"0A-1B-2C-3D-4E-5F\",\"Operation\":1,\"SessionId\":\"\",\"VipLevel\":\"0\"}\n" },
        { "ClassIdsOutsideOneToFiveIgnored", first,
          userWith(QStringLiteral("2"), { { 0, true }, { 2, true }, { 7, true } }),
          "{\"ClassInfo\":[2],\"CommandType\":3,\"IsVip\":false,\"LoginId\":\"13800138000\",\"LoginResult\":0,"
          "\"MacAddress\":\"0A-1B-2C-3D-4E-5F\",\"Operation\":1,\"SessionId\":\"\",\"VipLevel\":\"2\"}\n" },
        { "OnlyLevelTextOneIsVip", first, userWith(QStringLiteral("01"), {}),
          "{\"CommandType\":3,\"IsVip\":false,\"LoginId\":\"13800138000\",\"LoginResult\":0,"
          "\"MacAddress\":\"0A-1B-2C-3D-4E-5F\",\"Operation\":1,\"SessionId\":\"\",\"VipLevel\":\"01\"}\n" },
        { "ReconnectLogin", reconnect, userWith(QStringLiteral("1"), { { 1, true } }),
          "{\"ClassInfo\":[1],\"CommandType\":3,\"IsVip\":true,\"LoginId\":\"13800138000\",\"LoginResult\":0,"
          "\"MacAddress\":\"0A-1B-2C-3D-4E-5F\",\"Operation\":4,\"SessionId\":\"\",\"VipLevel\":\"1\"}\n" },
        { "ForcedLoginRepeatsTheRefusedAnswer", refusedThenForced(), userWith(QStringLiteral("3"), {}),
          "{\"CommandType\":3,\"IsVip\":false,\"LoginId\":\"other-id\",\"LoginResult\":0,"
          "\"MacAddress\":\"0A-1B-2C-3D-4E-5F\",\"Operation\":2,\"SessionId\":\"S42\",\"VipLevel\":\"3\"}\n" },
    };
}

INSTANTIATE_TEST_SUITE_P(Rows, LoginCommands, ::testing::ValuesIn(loginCases()),
                         [](const ::testing::TestParamInfo<LoginCase>& param) { return param.param.name; });

TEST(UpdateCheckRequest, ByteExactWithProtocolFileName)
{
    session::UpdateCheckRequest request;
    request.clientMd5 = QStringLiteral("0123abcd");
    request.macAddress = kMac;
    request.version = QStringLiteral("2.1.2");
    EXPECT_EQ(request.toJson(),
              QByteArray("{\"ClientMD5\":\"0123abcd\",\"CommandType\":2,\"JsonData\":\"\",\"LowestVersion\":0,"
                         "\"MacAddress\":\"0A-1B-2C-3D-4E-5F\",\"StartUpFileName\":\"kavrenup.exe\","
                         "\"UpdateDate\":\"\",\"UpdateLog\":\"\",\"UpdateUrl\":\"\",\"Version\":\"2.1.2\"}\n"));
}

// The answer to the login and later notices: what the record holds after a copy.
struct RecordCase
{
    std::string name;
    QByteArray payload;
    ReadResult result;
    SessionRecord expected;
};

class RecordCopies : public ::testing::TestWithParam<RecordCase>
{
};

SessionRecord requestRecord()
{
    return SessionRecord::forLogin(session::protocol::kNormalLogin, kPhone, kMac);
}

SessionRecord with(SessionRecord record, const std::function<void(SessionRecord&)>& change)
{
    change(record);
    return record;
}

TEST_P(RecordCopies, CopiesInOrderAndStopsAtTheBadMember)
{
    const RecordCase& row = GetParam();
    SessionRecord record = requestRecord();
    EXPECT_EQ(record.copyFrom(row.payload), row.result);
    EXPECT_EQ(record.commandType, row.expected.commandType);
    EXPECT_EQ(record.loginId, row.expected.loginId);
    EXPECT_EQ(record.sessionId, row.expected.sessionId);
    EXPECT_EQ(record.date, row.expected.date);
    EXPECT_EQ(record.operation, row.expected.operation);
    EXPECT_EQ(record.loginResult, row.expected.loginResult);
    EXPECT_EQ(record.macAddress, kMac) << "the MAC text is never taken from an answer";
}

std::vector<RecordCase> recordCases()
{
    const auto answered = [](int operation, int loginResult) {
        return with(requestRecord(), [=](SessionRecord& r) {
            r.loginId = QStringLiteral("L");
            r.sessionId = QStringLiteral("S");
            r.date = QStringLiteral("D");
            r.operation = operation;
            r.loginResult = loginResult;
        });
    };
    return {
        { "Accepted",
          "{\"CommandType\":3,\"Date\":\"D\",\"LoginId\":\"L\",\"LoginResult\":true,\"Operation\":1,\"SessionId\":"
          "\"S\"}",
          ReadResult::Ok, answered(1, 1) },
        { "MissingLoginResultIsRefused",
          "{\"CommandType\":3,\"Date\":\"D\",\"LoginId\":\"L\",\"Operation\":1,\"SessionId\":\"S\"}", ReadResult::Ok,
          answered(1, 0) },
        { "NumericLoginResult",
          "{\"CommandType\":3,\"Date\":\"D\",\"LoginId\":\"L\",\"LoginResult\":7,\"Operation\":3,\"SessionId\":\"S\"}",
          ReadResult::Ok, answered(3, 1) },
        { "StringOperationFailsAfterTheTextMembers",
          "{\"CommandType\":3,\"Date\":\"D\",\"LoginId\":\"L\",\"LoginResult\":true,\"Operation\":\"3\",\"SessionId\":"
          "\"S\"}",
          ReadResult::BadMember, answered(1, 0) },
        { "StringCommandTypeFailsFirst", "{\"CommandType\":\"3\",\"LoginId\":\"L\",\"Operation\":3}",
          ReadResult::BadMember, requestRecord() },
        { "ArrayLoginIdStopsAfterCommandType", "{\"CommandType\":4,\"LoginId\":[1],\"Operation\":3}",
          ReadResult::BadMember, with(requestRecord(), [](SessionRecord& r) { r.commandType = 4; }) },
        { "NotJsonLeavesTheRequest", "not json", ReadResult::NotJson, requestRecord() },
    };
}

INSTANTIATE_TEST_SUITE_P(Rows, RecordCopies, ::testing::ValuesIn(recordCases()),
                         [](const ::testing::TestParamInfo<RecordCase>& param) { return param.param.name; });

TEST(UpdateCheckAnswer, ReadsEveryMember)
{
    session::UpdateCheckAnswer answer;
    EXPECT_EQ(answer.read(
                  "{\"ClientMD5\":\"m\",\"CommandType\":2,\"JsonData\":\"j\",\"LowestVersion\":\"2.0\","
                  "\"MainFileName\":\"f\",\"UpdateDate\":\"d\",\"UpdateLog\":\"log\",\"UpdateUrl\":\"http://u/p.exe\","
                  "\"ValidateResult\":true,\"Version\":\"2.2.0\"}\n"),
              ReadResult::Ok);
    EXPECT_EQ(answer.membersRead, session::UpdateCheckAnswer::kMemberCount);
    EXPECT_EQ(answer.clientMd5, QStringLiteral("m"));
    EXPECT_EQ(answer.mainFileName, QStringLiteral("f"));
    EXPECT_EQ(answer.updateDate, QStringLiteral("d"));
    EXPECT_EQ(answer.version, QStringLiteral("2.2.0"));
    EXPECT_EQ(answer.updateLog, QStringLiteral("log"));
    EXPECT_EQ(answer.updateUrl, QStringLiteral("http://u/p.exe"));
    EXPECT_EQ(answer.lowestVersion, QStringLiteral("2.0"));
    EXPECT_TRUE(answer.validateResult);
    EXPECT_EQ(answer.commandType, 2);
    EXPECT_EQ(answer.jsonData, QStringLiteral("j"));
}

TEST(UpdateCheckAnswer, WrongTypeStopsAfterTheUpdateUrlWasRead)
{
    session::UpdateCheckAnswer answer;
    EXPECT_EQ(answer.read("{\"UpdateUrl\":\"http://u\",\"Version\":\"9\",\"LowestVersion\":{\"x\":1}}"),
              ReadResult::BadMember);
    EXPECT_EQ(answer.membersRead, session::UpdateCheckAnswer::kMembersThroughUpdateUrl);
    EXPECT_EQ(answer.updateUrl, QStringLiteral("http://u"));
    EXPECT_EQ(answer.version, QStringLiteral("9"));
    EXPECT_TRUE(answer.lowestVersion.isEmpty());

    session::UpdateCheckAnswer second;
    EXPECT_EQ(second.read("{\"LowestVersion\":2,\"ValidateResult\":\"true\"}"), ReadResult::BadMember);
    EXPECT_EQ(second.lowestVersion, QStringLiteral("2")) << "a number read as text gives its JSON text";
    EXPECT_FALSE(second.validateResult);
}

TEST(UpdateCheckAnswer, NotJsonLeavesEverything)
{
    session::UpdateCheckAnswer answer;
    answer.version = QStringLiteral("kept");
    EXPECT_EQ(answer.read("<html>"), ReadResult::NotJson);
    EXPECT_EQ(answer.version, QStringLiteral("kept"));
    EXPECT_EQ(answer.membersRead, 0);
}

TEST(PushMessages, ReadsAllMembersOfEveryMessage)
{
    session::PushMessages push;
    ASSERT_EQ(
        push.read(
            "{\"CommandType\":4,\"MessageList\":[{\"Content\":\"c\",\"Date\":\"2024\",\"Id\":7,\"Link\":\"l\","
            "\"Range\":1,\"RangeName\":\"rn\",\"Title\":\"t\",\"Type\":2,\"TypeName\":\"tn\",\"UserPhone\":\"p\"},"
            "{\"Id\":8}]}\n"),
        ReadResult::Ok);
    EXPECT_EQ(push.commandType, 4);
    ASSERT_EQ(push.messages.size(), 2);
    const session::PushMessage& m = push.messages[0];
    EXPECT_EQ(m.id, 7);
    EXPECT_EQ(m.title, QStringLiteral("t"));
    EXPECT_EQ(m.content, QStringLiteral("c"));
    EXPECT_EQ(m.link, QStringLiteral("l"));
    EXPECT_EQ(m.type, 2);
    EXPECT_EQ(m.typeName, QStringLiteral("tn"));
    EXPECT_EQ(m.range, 1);
    EXPECT_EQ(m.rangeName, QStringLiteral("rn"));
    EXPECT_EQ(m.userPhone, QStringLiteral("p"));
    EXPECT_EQ(m.date, QStringLiteral("2024"));
    EXPECT_EQ(push.messages[1].id, 8);
    EXPECT_TRUE(push.messages[1].title.isEmpty());
}

TEST(PushMessages, BadElementFailsTheCommand)
{
    session::PushMessages push;
    EXPECT_EQ(push.read("{\"CommandType\":4,\"MessageList\":[{\"Id\":1},{\"Id\":\"2\"}]}"), ReadResult::BadMember);
    EXPECT_EQ(push.messages.size(), 1) << "the messages before the bad element were read";
    EXPECT_EQ(push.read("{\"CommandType\":4,\"MessageList\":[5]}"), ReadResult::BadMember);
    EXPECT_EQ(push.read("{\"CommandType\":4,\"MessageList\":{\"Id\":1}}"), ReadResult::BadMember);
    EXPECT_EQ(push.read("{\"CommandType\":4}"), ReadResult::Ok);
    EXPECT_TRUE(push.messages.isEmpty());
}

TEST(CurrentUser, ClassFlagsOnlyForIdsOneToFive)
{
    session::CurrentUser user;
    user.setClass(2, true);
    user.setClass(4, false);
    user.setClass(7, true);
    user.setClass(0, true);
    EXPECT_TRUE(user.classPresent[1]);
    EXPECT_TRUE(user.classJoined[1]);
    EXPECT_TRUE(user.classPresent[3]);
    EXPECT_FALSE(user.classJoined[3]);
    EXPECT_FALSE(user.hasJoined(7));
    EXPECT_FALSE(user.hasJoined(0));
    int joined = 0;
    for (bool flag : user.classJoined)
        joined += flag ? 1 : 0;
    EXPECT_EQ(joined, 1);
}

} // namespace
