#pragma once

#include "session/SessionEvents.h"
#include "session/SessionRecord.h"
#include "tests/support/LoopbackListener.h"

#include <json/value.h>

#include <QByteArray>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace devservice {
class DevService;
class SessionServer;
} // namespace devservice

namespace sessiontest {

using Clock = std::chrono::steady_clock;

inline const QString kLoopback = QStringLiteral("127.0.0.1");

// Milliseconds since start.
inline long long msSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Records what a receive loop reports, from its thread, for the test thread to wait on.
class RecordingEvents : public session::SessionEvents
{
public:
    enum class Kind { Notice, Displaced, BadMember, Push, Attempt };
    struct Event
    {
        Kind kind;
        session::SessionRecord record;
        QByteArray text;
        int attempt = 0;
        Clock::time_point at;
    };

    void onNotice(const session::SessionRecord& record) override { add({ Kind::Notice, record, {}, 0, Clock::now() }); }
    void onDisplaced(const session::SessionRecord& record) override
    {
        add({ Kind::Displaced, record, {}, 0, Clock::now() });
    }
    void onBadMember() override { add({ Kind::BadMember, {}, {}, 0, Clock::now() }); }
    void onPushMessages(const QByteArray& text) override { add({ Kind::Push, {}, text, 0, Clock::now() }); }
    void onConnectAttempt(int attempt) override { add({ Kind::Attempt, {}, {}, attempt, Clock::now() }); }

    std::vector<Event> events() const;
    std::vector<Event> ofKind(Kind kind) const;
    // Waits until pred holds for the events so far; false after timeoutMs.
    bool waitFor(const std::function<bool(const std::vector<Event>&)>& pred, int timeoutMs = 5000) const;
    bool waitForCount(Kind kind, std::size_t count, int timeoutMs = 5000) const;
    // Waits for a push whose text contains marker.
    bool waitForPush(const std::string& marker, int timeoutMs = 5000) const;
    void clear();

private:
    void add(Event event);

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<Event> m_events;
};

// The real dev service in this process, on free loopback ports, driven through its control API.
class LocalDevService
{
public:
    LocalDevService();
    ~LocalDevService();

    bool ok() const { return m_ok; }
    quint16 sessionPort() const;
    int httpPort() const;
    devservice::SessionServer& session();

    // Control API calls; the answer's JSON (null when the request failed).
    Json::Value post(const std::string& path, const Json::Value& body);
    Json::Value get(const std::string& path);

    // Waits until the service received a command for which pred holds; returns it (null after timeoutMs).
    Json::Value waitForCommand(const std::function<bool(const Json::Value&)>& pred, int timeoutMs = 5000);
    std::vector<Json::Value> commands();

private:
    std::string m_logPath;
    std::unique_ptr<devservice::DevService> m_service;
    bool m_ok = false;
};

using testsupport::BareListener;
using testsupport::closedPort;

// A minimal JSON text helper for the tests.
Json::Value parseJson(const std::string& text);
std::string hexOf(const QByteArray& bytes);

} // namespace sessiontest
