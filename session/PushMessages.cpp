#include "session/PushMessages.h"

#include "session/MemberReader.h"
#include "session/ReadResult.h"

#include <json/value.h>

namespace session {

ReadResult PushMessages::read(const QByteArray& payload)
{
    messages.clear();
    Json::Value command;
    if (!MemberReader::parse(payload, &command))
        return ReadResult::NotJson;
    const MemberReader reader(command);
    Json::Value list;
    if (!reader.readInt("CommandType", &commandType) || !reader.readArray("MessageList", &list))
        return ReadResult::BadMember;
    for (const Json::Value& element : list) {
        const MemberReader item(element);
        PushMessage message;
        const bool ok = item.readInt("Id", &message.id) && item.readText("Title", &message.title)
            && item.readText("Content", &message.content) && item.readText("Link", &message.link)
            && item.readInt("Type", &message.type) && item.readText("TypeName", &message.typeName)
            && item.readInt("Range", &message.range) && item.readText("RangeName", &message.rangeName)
            && item.readText("UserPhone", &message.userPhone) && item.readText("Date", &message.date);
        if (!ok)
            return ReadResult::BadMember;
        messages.append(message);
    }
    return ReadResult::Ok;
}

} // namespace session
