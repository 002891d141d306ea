#include "tests/session/SessionTestSupport.h"

#include "devservice/DevService.h"
#include "devservice/SessionServer.h"

#include <httplib.h>
#include <json/reader.h>
#include <json/writer.h>

#include <QDir>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sessiontest {

// ---- RecordingEvents

void RecordingEvents::add(Event event)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.push_back(std::move(event));
    m_changed.notify_all();
}

std::vector<RecordingEvents::Event> RecordingEvents::events() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_events;
}

std::vector<RecordingEvents::Event> RecordingEvents::ofKind(Kind kind) const
{
    std::vector<Event> found;
    for (const Event& event : events()) {
        if (event.kind == kind)
            found.push_back(event);
    }
    return found;
}

bool RecordingEvents::waitFor(const std::function<bool(const std::vector<Event>&)>& pred, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return pred(m_events); });
}

bool RecordingEvents::waitForCount(Kind kind, std::size_t count, int timeoutMs) const
{
    return waitFor(
        [kind, count](const std::vector<Event>& events) {
            std::size_t n = 0;
            for (const Event& event : events)
                n += event.kind == kind ? 1 : 0;
            return n >= count;
        },
        timeoutMs);
}

bool RecordingEvents::waitForPush(const std::string& marker, int timeoutMs) const
{
    return waitFor(
        [&marker](const std::vector<Event>& events) {
            for (const Event& event : events) {
                if (event.kind == Kind::Push && event.text.contains(marker.c_str()))
                    return true;
            }
            return false;
        },
        timeoutMs);
}

void RecordingEvents::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.clear();
}

// ---- LocalDevService

LocalDevService::LocalDevService()
{
    devservice::DevServiceOptions options;
    options.httpPort = 0;
    options.sessionPort = 0;
    options.pagesDir = KAVREN_SOURCE_DIR "/devservice/pages";
    m_service = std::make_unique<devservice::DevService>(options);
    std::string error;
    m_ok = m_service->start(&error);
    if (m_ok)
        m_service->runInBackground();
}

LocalDevService::~LocalDevService()
{
    m_service.reset();
}

quint16 LocalDevService::sessionPort() const
{
    return static_cast<quint16>(m_service->sessionPort());
}

int LocalDevService::httpPort() const
{
    return m_service->httpPort();
}

devservice::SessionServer& LocalDevService::session()
{
    return m_service->session();
}

Json::Value LocalDevService::post(const std::string& path, const Json::Value& body)
{
    httplib::Client client("127.0.0.1", httpPort());
    client.set_read_timeout(30, 0);
    const auto result = client.Post(path.c_str(), Json::FastWriter().write(body), "application/json");
    if (!result)
        return Json::Value();
    return parseJson(result->body);
}

Json::Value LocalDevService::get(const std::string& path)
{
    httplib::Client client("127.0.0.1", httpPort());
    const auto result = client.Get(path.c_str());
    if (!result)
        return Json::Value();
    return parseJson(result->body);
}

std::vector<Json::Value> LocalDevService::commands()
{
    std::vector<Json::Value> list;
    const Json::Value answer = get("/control/session/commands?since=0");
    for (const Json::Value& entry : answer["commands"])
        list.push_back(entry);
    return list;
}

Json::Value LocalDevService::waitForCommand(const std::function<bool(const Json::Value&)>& pred, int timeoutMs)
{
    const Clock::time_point start = Clock::now();
    do {
        for (const Json::Value& entry : session().commands(0)) {
            if (pred(entry))
                return entry;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (msSince(start) < timeoutMs);
    return Json::Value();
}

// ---- BareListener



Json::Value parseJson(const std::string& text)
{
    Json::Value value;
    Json::Reader reader;
    if (!reader.parse(text, value, false))
        return Json::Value();
    return value;
}

std::string hexOf(const QByteArray& bytes)
{
    return bytes.toHex().toStdString();
}

} // namespace sessiontest
