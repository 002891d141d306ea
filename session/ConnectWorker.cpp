#include "session/ConnectWorker.h"

#include "session/Connection.h"

#include "platform/LastChance.h"
#include "platform/Trace.h"

#include <chrono>
#include <thread>

namespace session {

std::shared_ptr<ConnectWorker> ConnectWorker::start(const QString& ipv4Address, quint16 port, QByteArray loginCommand)
{
    std::shared_ptr<ConnectWorker> worker(new ConnectWorker(ipv4Address, port, std::move(loginCommand)));
    // The thread keeps the attempt alive as long as it runs; nobody joins it.
    std::thread([worker] { platform::LastChance::guard([&worker] { worker->run(); }); }).detach();
    return worker;
}

ConnectWorker::ConnectWorker(QString ipv4Address, quint16 port, QByteArray loginCommand)
    : m_address(std::move(ipv4Address))
    , m_port(port)
    , m_loginCommand(std::move(loginCommand))
    , m_connection(std::make_unique<Connection>())
{
}

ConnectWorker::~ConnectWorker() = default;

void ConnectWorker::run()
{
    // The connect itself has no limit of its own: the login step's wait bounds it and
    // abandon() ends it.
    const Connection::ConnectResult result = m_connection->connectTo(m_address, m_port, -1);
    int exitCode = -1;
    if (result == Connection::ConnectResult::Connected) {
        // The send's result does not change the outcome; a failure shows in the answer's read.
        m_connection->sendCommand(m_loginCommand);
        exitCode = 0;
    }
    platform::Trace::event(QStringLiteral("session-connect-worker"), QString::number(exitCode));
    std::lock_guard<std::mutex> lock(m_mutex);
    m_exitCode = exitCode;
    m_finished = true;
    m_done.notify_all();
}

bool ConnectWorker::wait(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_done.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_finished; });
}

bool ConnectWorker::finished() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_finished;
}

int ConnectWorker::exitCode() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_finished ? m_exitCode : -1;
}

void ConnectWorker::abandon()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_connection)
        m_connection->cancel();
}

int ConnectWorker::readLoginAnswer(QByteArray* payload, int timeoutMs)
{
    Connection* connection = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_finished || m_exitCode != 0 || !m_connection)
            return -1;
        connection = m_connection.get();
    }
    return connection->receiveCommand(payload, timeoutMs);
}

Connection* ConnectWorker::connection()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_finished && m_exitCode == 0 ? m_connection.get() : nullptr;
}

std::unique_ptr<Connection> ConnectWorker::takeConnection()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_finished || m_exitCode != 0)
        return nullptr;
    return std::move(m_connection);
}

} // namespace session
