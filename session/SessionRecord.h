#pragma once

#include <QByteArray>
#include <QString>

namespace Json {
class Value;
}

namespace session {

enum class ReadResult;

// The shell's record of the login-type command last exchanged. The login window holds one for
// the first login, the receive loop holds the main window's.
struct SessionRecord
{
    QString loginId;
    QString sessionId;
    QString date; // filled from answers; never sent
    int loginResult = 0;
    int operation = 0;
    int commandType = 0;
    QString macAddress;

    // The record of a login request that the shell starts itself (first or reconnect login):
    // CommandType 3, the user's phone number as LoginId, empty SessionId and Date, LoginResult 0.
    static SessionRecord forLogin(int operation, const QString& phone, const QString& macAddress);

    // Copies a received LoginSession command into the record, in this order: "CommandType"
    // (int), "LoginId", "SessionId", "Date" (text), "Operation" (int), "LoginResult" (boolean,
    // kept as 0 or 1). A member of the wrong type stops the copy there: the members before it
    // carry the command's values, the others keep theirs.
    ReadResult copyFrom(const Json::Value& command);
    // Parses the payload first; one that is not a JSON object leaves the record as it was.
    ReadResult copyFrom(const QByteArray& payload);

    bool operator==(const SessionRecord& other) const;
    bool operator!=(const SessionRecord& other) const { return !(*this == other); }
};

} // namespace session
