#include "session/UpdateCheckAnswer.h"

#include "session/MemberReader.h"
#include "session/ReadResult.h"

#include <json/value.h>

namespace session {

ReadResult UpdateCheckAnswer::read(const QByteArray& payload)
{
    membersRead = 0;
    Json::Value command;
    if (!MemberReader::parse(payload, &command))
        return ReadResult::NotJson;
    const MemberReader reader(command);
    const auto step = [this](bool ok) {
        if (ok)
            ++membersRead;
        return ok;
    };
    const bool ok = step(reader.readText("ClientMD5", &clientMd5))
        && step(reader.readText("MainFileName", &mainFileName)) && step(reader.readText("UpdateDate", &updateDate))
        && step(reader.readText("Version", &version)) && step(reader.readText("UpdateLog", &updateLog))
        && step(reader.readText("UpdateUrl", &updateUrl)) && step(reader.readText("LowestVersion", &lowestVersion))
        && step(reader.readBool("ValidateResult", &validateResult)) && step(reader.readInt("CommandType", &commandType))
        && step(reader.readText("JsonData", &jsonData));
    return ok ? ReadResult::Ok : ReadResult::BadMember;
}

} // namespace session
