#include "account/UserInfoReader.h"

#include "session/CurrentUser.h"
#include "session/MemberReader.h"

#include <json/json.h>

namespace account {

using session::MemberReader;

namespace {

const Json::Value& objectMember(const Json::Value& object, const char* name)
{
    static const Json::Value empty(Json::objectValue);
    if (!object.isObject())
        return empty;
    const Json::Value& v = object[name];
    return v.isObject() ? v : empty;
}

const Json::Value& arrayMember(const Json::Value& object, const char* name)
{
    static const Json::Value empty(Json::arrayValue);
    if (!object.isObject())
        return empty;
    const Json::Value& v = object[name];
    return v.isArray() ? v : empty;
}

} // namespace

bool UserInfoReader::read(const QByteArray& userInfoJson, session::CurrentUser& user)
{
    Json::Value root;
    if (!MemberReader::parse(userInfoJson, &root))
        return false;

    const Json::Value& data = objectMember(objectMember(root, "userInfo"), "Data");
    const MemberReader reader(data);
    reader.readText("Id", &user.id);
    reader.readText("Phone", &user.phone);
    reader.readText("HeadImageUrl", &user.headImageUrl);
    reader.readText("Coins", &user.coins);
    reader.readText("Password", &user.password);
    int vipLevel = 0;
    if (reader.readInt("VipLevel", &vipLevel))
        user.vipLevel = QString::number(vipLevel);

    // The class list describes this user only: another user's classes must not linger.
    user.classPresent.fill(false);
    user.classJoined.fill(false);
    for (const Json::Value& entry : arrayMember(data, "ClassInfo")) {
        if (!entry.isObject())
            continue;
        const MemberReader classReader(entry);
        int id = 0;
        bool joined = false;
        if (classReader.readInt("Id", &id) && classReader.readBool("HasJoined", &joined))
            user.setClass(id, joined);
    }

    if (arrayMember(root, "msgList").size() > 0) {
        user.pendingMessageList = MemberReader::commandText(userInfoJson);
        user.hasPendingMessages = true;
    } else {
        user.pendingMessageList.clear();
        user.hasPendingMessages = false;
    }

    for (const Json::Value& entry : arrayMember(root, "userRight")) {
        if (!entry.isObject())
            continue;
        const MemberReader rightReader(entry);
        session::UserRight right;
        if (rightReader.readText("Name", &right.name) && rightReader.readInt("Action", &right.action)
            && rightReader.readText("LinkUrl", &right.linkUrl))
            user.userRights.append(right);
    }
    return true;
}

} // namespace account
