#include "session/BuildLoginCommand.h"

#include "session/CompactJson.h"
#include "session/CurrentUser.h"
#include "session/SessionRecord.h"

#include <json/value.h>

namespace session {

QByteArray BuildLoginCommand(const SessionRecord& record, const CurrentUser& user)
{
    Json::Value command(Json::objectValue);
    Json::Value classes(Json::arrayValue);
    for (int id = 1; id <= CurrentUser::kClassCount; ++id) {
        if (user.hasJoined(id))
            classes.append(id);
    }
    if (!classes.empty())
        command["ClassInfo"] = classes;
    command["CommandType"] = record.commandType;
    command["IsVip"] = user.vipLevel == QLatin1String("1");
    command["LoginId"] = record.loginId.toStdString();
    command["LoginResult"] = record.loginResult;
    command["MacAddress"] = record.macAddress.toStdString();
    command["Operation"] = record.operation;
    command["SessionId"] = record.sessionId.toStdString();
    command["VipLevel"] = user.vipLevel.toStdString();
    return CompactJson::write(command);
}

} // namespace session
