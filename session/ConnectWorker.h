#pragma once

#include "session/Protocol.h"

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace session {

class Connection;

// The first login's connection. start() runs a worker thread that connects to the service and
// sends the login command; the login step waits for it at most 4000 ms, then reads the answer.
//
// Every attempt is one ConnectWorker with its own Connection, shared between the login step
// and the worker thread. A login step that gives up calls abandon(): the worker's connect ends
// at once and it ends without sending; its socket is closed when both have let go. A later
// attempt has its own object, so a late worker can never touch it.
//
// Use from the login step:
//   auto worker = ConnectWorker::start(address, port, BuildLoginCommand(record, user));
//   if (!worker->wait(protocol::kLoginConnectWaitMs)) { worker->abandon(); /* errorTip */ }
//   else if (int n = worker->readLoginAnswer(&answer); n < 0) { /* loginError */ }
//   else { /* handle the answer (n > 0); a forced login goes out on worker->connection() */
//          receiveLoop = ReceiveLoop(worker->takeConnection(), ...); }
class ConnectWorker
{
public:
    static std::shared_ptr<ConnectWorker> start(const QString& ipv4Address, quint16 port, QByteArray loginCommand);
    ~ConnectWorker();

    // Waits for the worker to end; false when it is still connecting after timeoutMs.
    bool wait(int timeoutMs);
    bool finished() const;
    // The worker's exit code once it ended: 0 when the login command was sent, -1 when the
    // connection failed (or was abandoned).
    int exitCode() const;

    // The login step gave up: ends the worker's connect and any later use of its socket.
    void abandon();

    // One command from the connection, waiting at most timeoutMs. Returns the frame's size
    // (> 0) with the payload, 0 when the service closed the connection, -1 when the read
    // failed, timed out or the worker had not connected. Commands that came in the same
    // packet stay in the connection's buffer for the receive loop.
    int readLoginAnswer(QByteArray* payload, int timeoutMs = protocol::kLoginAnswerWaitMs);

    // The connection, for the forced login; null before a successful worker ended or after
    // takeConnection().
    Connection* connection();
    // Hands the connection with its receive buffer on (to the receive loop).
    std::unique_ptr<Connection> takeConnection();

private:
    ConnectWorker(QString ipv4Address, quint16 port, QByteArray loginCommand);
    void run();

    const QString m_address;
    const quint16 m_port;
    const QByteArray m_loginCommand;
    // Made before the thread starts and only dropped after it ended, so cancelling never
    // races its creation or its closing.
    std::unique_ptr<Connection> m_connection;

    mutable std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    int m_exitCode = -1;
};

} // namespace session
