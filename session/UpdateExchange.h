#pragma once

#include "session/Protocol.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace session {

class Connection;

// The updater's one exchange with the service: connect (at most 3 s), send the update check,
// read one answer (sending and receiving limited to 6 s each).
//
//   UpdateExchange exchange;
//   const int result = exchange.run(address, port, request.toJson());
//   if (result < 1) { /* no answer: connection message */ }
//   else answer.read(exchange.answer());
//
// The socket stays open as long as the object lives.
class UpdateExchange
{
public:
    UpdateExchange();
    ~UpdateExchange();

    // 0 when no connection stood (refused at once, or a connect that hangs after 3 s) or the
    // service closed the connection without answering; -1 on a receive error or time-out;
    // otherwise the answer frame's byte count.
    int run(const QString& ipv4Address, quint16 port, const QByteArray& requestText,
            int connectTimeoutMs = protocol::kUpdateConnectMs, int ioTimeoutMs = protocol::kUpdateIoMs);

    // Set once the connection stood.
    bool connected() const { return m_connected; }
    // The answer's command text (up to its first zero byte); empty without an answer.
    const QByteArray& answer() const { return m_answer; }

private:
    std::unique_ptr<Connection> m_connection;
    bool m_connected = false;
    QByteArray m_answer;
};

} // namespace session
