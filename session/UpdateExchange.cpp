#include "session/UpdateExchange.h"

#include "session/Connection.h"
#include "session/MemberReader.h"

namespace session {

UpdateExchange::UpdateExchange() = default;
UpdateExchange::~UpdateExchange() = default;

int UpdateExchange::run(const QString& ipv4Address, quint16 port, const QByteArray& requestText, int connectTimeoutMs,
                        int ioTimeoutMs)
{
    m_connected = false;
    m_answer.clear();
    m_connection = std::make_unique<Connection>();
    if (!m_connection->valid() || !m_connection->setIoTimeouts(ioTimeoutMs))
        return 0;
    if (m_connection->connectTo(ipv4Address, port, connectTimeoutMs) != Connection::ConnectResult::Connected)
        return 0;
    m_connected = true;
    // A failed send shows as a receive without answer.
    m_connection->sendCommand(requestText);
    QByteArray payload;
    const int read = m_connection->receiveCommand(&payload, ioTimeoutMs);
    if (read > 0)
        m_answer = MemberReader::commandText(payload);
    return read;
}

} // namespace session
