#pragma once

#include <QByteArray>

namespace session {

struct SessionRecord;

// What the receive loop reports to the main window. Every call comes on the receive thread,
// one at a time and in the order the commands arrived; the loop reads nothing more until the
// call returns, so an implementation may block in it (hand the event over to the GUI thread
// and wait for its handler). The references are valid for the call only.
class SessionEvents
{
public:
    virtual ~SessionEvents() = default;

    // A LoginSession command from the service updated the main window's record (the record as
    // it is now). Comes for every such command, Operation 3 included.
    virtual void onNotice(const SessionRecord& record) = 0;
    // The notice said Operation 3: the account has been logged in elsewhere. Follows onNotice.
    virtual void onDisplaced(const SessionRecord& record) = 0;
    // A command held a member of the wrong type; it has been dropped.
    virtual void onBadMember() = 0;
    // A PushMessages command: its text as received (up to its first zero byte).
    virtual void onPushMessages(const QByteArray& commandText) = 0;

    // The loop lost the connection and tries to connect again (attempt 1, 2, ...); nothing
    // is shown for it.
    virtual void onConnectAttempt(int /*attempt*/) { }
};

} // namespace session
