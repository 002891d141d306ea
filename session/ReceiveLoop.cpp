#include "session/ReceiveLoop.h"

#include "session/BuildLoginCommand.h"
#include "session/Connection.h"
#include "session/MemberReader.h"
#include "session/Protocol.h"
#include "session/ReadResult.h"
#include "session/SessionEvents.h"

#include "platform/LastChance.h"
#include "platform/MacAddress.h"
#include "platform/Trace.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>

#include <json/value.h>

#include <chrono>

namespace session {

namespace {

QString statusName(Connection::ReceiveStatus status)
{
    switch (status) {
    case Connection::ReceiveStatus::Command:
        return QStringLiteral("command");
    case Connection::ReceiveStatus::Closed:
        return QStringLiteral("closed");
    case Connection::ReceiveStatus::Truncated:
        return QStringLiteral("truncated");
    case Connection::ReceiveStatus::Error:
        return QStringLiteral("error");
    case Connection::ReceiveStatus::TimedOut:
        return QStringLiteral("timed-out");
    case Connection::ReceiveStatus::ProtocolError:
        return QStringLiteral("protocol-error");
    case Connection::ReceiveStatus::Cancelled:
        return QStringLiteral("cancelled");
    }
    return {};
}

} // namespace

ReceiveLoop::ReceiveLoop(std::unique_ptr<Connection> connection, QString ipv4Address, quint16 port, CurrentUser user,
                         SessionEvents* events)
    : m_address(std::move(ipv4Address))
    , m_port(port)
    , m_user(std::move(user))
    , m_events(events)
    , m_macSource([] { return platform::MacAddress::text(); })
    , m_connection(std::move(connection))
{
}

ReceiveLoop::~ReceiveLoop()
{
    stop();
}

void ReceiveLoop::setMacSource(std::function<QString()> source)
{
    m_macSource = std::move(source);
}

void ReceiveLoop::start()
{
    if (m_thread.joinable())
        return;
    m_thread = std::thread([this] { platform::LastChance::guard([this] { run(); }); });
}

void ReceiveLoop::closeConnection()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        if (m_connection)
            m_connection->cancel();
    }
    m_wake.notify_all();
}

void ReceiveLoop::stop()
{
    if (!m_thread.joinable())
        return;
    closeConnection();
    // The receive thread may be inside a callback that waits for this thread's event loop.
    if (QThread::currentThread()->eventDispatcher()) {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_finished) {
            m_wake.wait_for(lock, std::chrono::milliseconds(5));
            lock.unlock();
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            lock.lock();
        }
    }
    m_thread.join();
}

SessionRecord ReceiveLoop::record() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_record;
}

bool ReceiveLoop::connected() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_connection != nullptr;
}

void ReceiveLoop::replaceConnection(std::unique_ptr<Connection> connection)
{
    std::unique_ptr<Connection> old;
    std::lock_guard<std::mutex> lock(m_mutex);
    old = std::move(m_connection);
    m_connection = std::move(connection);
    if (m_stopping && m_connection)
        m_connection->cancel();
}

void ReceiveLoop::run()
{
    while (!m_stopping) {
        // Only this thread replaces the connection, so it may use it without the lock.
        Connection* connection = m_connection.get();
        if (!connection) {
            if (!reconnect())
                break;
            continue;
        }
        QByteArray payload;
        const Connection::ReceiveStatus status = connection->receive(&payload, -1);
        if (status == Connection::ReceiveStatus::Command) {
            if (!m_stopping)
                dispatch(payload);
            continue;
        }
        if (status == Connection::ReceiveStatus::Cancelled || m_stopping)
            break;
        platform::Trace::event(QStringLiteral("session-lost"), statusName(status));
        replaceConnection(nullptr);
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = true;
    }
    m_wake.notify_all();
}

bool ReceiveLoop::reconnect()
{
    const SessionRecord request
        = SessionRecord::forLogin(protocol::kReconnectLogin, m_user.phone, m_macSource ? m_macSource() : QString());
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_record = request;
    }
    const QByteArray command = BuildLoginCommand(request, m_user);
    for (int attempt = 1; !m_stopping; ++attempt) {
        auto fresh = std::make_unique<Connection>();
        Connection* connection = fresh.get();
        replaceConnection(std::move(fresh));
        m_events->onConnectAttempt(attempt);
        platform::Trace::event(QStringLiteral("session-connect-attempt"), QString::number(attempt));
        const Connection::ConnectResult result
            = connection->connectTo(m_address, m_port, protocol::kReconnectConnectMs);
        if (result == Connection::ConnectResult::Connected) {
            connection->sendCommand(command);
            return true;
        }
        if (result == Connection::ConnectResult::Cancelled || m_stopping)
            return false;
        replaceConnection(nullptr);
        std::unique_lock<std::mutex> lock(m_mutex);
        m_wake.wait_for(lock, std::chrono::milliseconds(protocol::kReconnectIntervalMs),
                        [this] { return m_stopping.load(); });
    }
    return false;
}

void ReceiveLoop::dispatch(const QByteArray& payload)
{
    Json::Value command;
    if (!MemberReader::parse(payload, &command))
        return;
    int commandType = 0;
    if (!MemberReader(command).readInt("CommandType", &commandType)) {
        m_events->onBadMember();
        return;
    }
    if (commandType == protocol::kLoginSession) {
        SessionRecord now;
        ReadResult result;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            result = m_record.copyFrom(command);
            now = m_record;
        }
        if (result != ReadResult::Ok) {
            m_events->onBadMember();
            return;
        }
        m_events->onNotice(now);
        if (now.operation == protocol::kLoggedInElsewhere)
            m_events->onDisplaced(now);
    } else if (commandType == protocol::kPushMessages) {
        m_events->onPushMessages(MemberReader::commandText(payload));
    }
}

} // namespace session
