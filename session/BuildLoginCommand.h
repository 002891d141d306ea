#pragma once

#include <QByteArray>

namespace session {

struct CurrentUser;
struct SessionRecord;

// The LoginSession request for a first, forced or reconnect login: "CommandType", "LoginId",
// "LoginResult", "MacAddress", "Operation" and "SessionId" from the record; "VipLevel" and
// "IsVip" (true exactly for level "1") and "ClassInfo" (the joined class ids, ascending;
// absent when none is joined) from the user. Compact JSON with its line feed.
QByteArray BuildLoginCommand(const SessionRecord& record, const CurrentUser& user);

} // namespace session
