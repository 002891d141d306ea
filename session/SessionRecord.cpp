#include "session/SessionRecord.h"

#include "session/MemberReader.h"
#include "session/Protocol.h"
#include "session/ReadResult.h"

#include <json/value.h>

namespace session {

SessionRecord SessionRecord::forLogin(int operation, const QString& phone, const QString& macAddress)
{
    SessionRecord record;
    record.operation = operation;
    record.commandType = protocol::kLoginSession;
    record.loginId = phone;
    record.loginResult = 0;
    record.macAddress = macAddress;
    return record;
}

ReadResult SessionRecord::copyFrom(const Json::Value& command)
{
    const MemberReader reader(command);
    bool accepted = false;
    const bool ok = reader.readInt("CommandType", &commandType) && reader.readText("LoginId", &loginId)
        && reader.readText("SessionId", &sessionId) && reader.readText("Date", &date)
        && reader.readInt("Operation", &operation) && reader.readBool("LoginResult", &accepted);
    if (!ok)
        return ReadResult::BadMember;
    loginResult = accepted ? 1 : 0;
    return ReadResult::Ok;
}

ReadResult SessionRecord::copyFrom(const QByteArray& payload)
{
    Json::Value command;
    if (!MemberReader::parse(payload, &command))
        return ReadResult::NotJson;
    return copyFrom(command);
}

bool SessionRecord::operator==(const SessionRecord& other) const
{
    return loginId == other.loginId && sessionId == other.sessionId && date == other.date
        && loginResult == other.loginResult && operation == other.operation && commandType == other.commandType
        && macAddress == other.macAddress;
}

} // namespace session
