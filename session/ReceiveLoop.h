#pragma once

#include "session/CurrentUser.h"
#include "session/SessionRecord.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace Json {
class Value;
}

namespace session {

class Connection;
class SessionEvents;

// The shell's session after the login: a thread that reads the connection as data arrives
// and dispatches every command in order.
//  - LoginSession (3): copied into the main window's record ("CommandType", "LoginId",
//    "SessionId", "Date", "Operation", "LoginResult"), then onNotice; Operation 3 also
//    raises onDisplaced.
//  - PushMessages (4): onPushMessages with the command text.
//  - A payload that is not a JSON object, or another CommandType: dropped.
//  - A member of the wrong type: onBadMember, the command is dropped.
// When the connection is lost (closed, failed, or a frame with an impossible length) the loop
// reconnects without a word: the record becomes a reconnect login (Operation 4), then one
// connect right away and one a second, each on a fresh socket, until one stands; the
// reconnect login is sent on it and its answer comes back as a notice.
class ReceiveLoop
{
public:
    // connection: the login's connection with what its buffer still holds (may be null: the
    // loop then connects first). user: the data the reconnect login is built from.
    ReceiveLoop(std::unique_ptr<Connection> connection, QString ipv4Address, quint16 port, CurrentUser user,
                SessionEvents* events);
    ~ReceiveLoop();
    ReceiveLoop(const ReceiveLoop&) = delete;
    ReceiveLoop& operator=(const ReceiveLoop&) = delete;

    // Where the MAC address text of a reconnect login comes from (default: this machine's,
    // read afresh on every reconnect). Set before start().
    void setMacSource(std::function<QString()> source);

    void start();
    // Ends the thread and closes the connection. The shell never stops its loop; tests do.
    // A callback blocked on a hand-over to the calling thread still finishes: while waiting,
    // the calling thread keeps processing its Qt events.
    void stop();

    // The exit routines: the socket is shut down and nothing more is read or reconnected, without
    // waiting for the thread (which may itself be waiting for the caller's hand-over).
    void closeConnection();

    // A copy of the main window's record.
    SessionRecord record() const;
    bool connected() const;

private:
    void run();
    bool reconnect();
    void dispatch(const QByteArray& payload);
    void replaceConnection(std::unique_ptr<Connection> connection);

    const QString m_address;
    const quint16 m_port;
    const CurrentUser m_user;
    SessionEvents* const m_events;
    std::function<QString()> m_macSource;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::unique_ptr<Connection> m_connection; // replaced by the receive thread only
    SessionRecord m_record;
    std::atomic<bool> m_stopping { false };
    std::atomic<bool> m_finished { false };
    std::thread m_thread;
};

} // namespace session
