#include "session/UpdateCheckRequest.h"

#include "session/CompactJson.h"
#include "session/Protocol.h"

#include <json/value.h>

namespace session {

QByteArray UpdateCheckRequest::toJson() const
{
    Json::Value command(Json::objectValue);
    command["ClientMD5"] = clientMd5.toStdString();
    command["CommandType"] = protocol::kUpdateCheck;
    command["JsonData"] = "";
    command["LowestVersion"] = 0;
    command["MacAddress"] = macAddress.toStdString();
    command["StartUpFileName"] = protocol::kStartUpFileName;
    command["UpdateDate"] = "";
    command["UpdateLog"] = "";
    command["UpdateUrl"] = "";
    command["Version"] = version.toStdString();
    return CompactJson::write(command);
}

} // namespace session
