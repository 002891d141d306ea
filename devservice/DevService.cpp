#include "devservice/DevService.h"

#include "devservice/ControlApi.h"
#include "devservice/FileServer.h"
#include "devservice/LoginApi.h"
#include "devservice/SessionServer.h"
#include "devservice/StaticPages.h"

#include <httplib.h>

#include <chrono>
#include <filesystem>

namespace devservice {

DevService::DevService(DevServiceOptions options)
    : m_options(std::move(options))
    , m_log(m_options.logPath)
    , m_http(std::make_unique<httplib::Server>())
    , m_session(std::make_unique<SessionServer>(m_log))
{
    // A browser keeps several connections open and stalled test transfers hold theirs for
    // seconds: the default pool of eight threads would starve.
    m_http->new_task_queue = [] { return new httplib::ThreadPool(64); };
    m_http->set_keep_alive_max_count(1000);
}

DevService::~DevService()
{
    stopBackground();
    if (m_secondHttp)
        m_secondHttp->stop();
    if (m_secondThread.joinable())
        m_secondThread.join();
}

bool DevService::start(std::string* error)
{
    if (!m_session->start(m_options.bindAddress, m_options.sessionPort, error))
        return false;
    ControlApi::install(*m_http, *m_session, m_log);
    if (!m_options.usersPath.empty())
        LoginApi::install(*m_http, m_options.usersPath, *m_session, m_log);
    // Before the pages: their route takes every GET.
    if (!m_options.filesDir.empty())
        FileServer::install(*m_http, m_options.filesDir, m_log);
    StaticPages::install(*m_http, m_options.pagesDir, m_log);
    if (m_options.httpPort == 0) {
        m_httpPort = m_http->bind_to_any_port(m_options.bindAddress);
    } else if (m_http->bind_to_port(m_options.bindAddress, m_options.httpPort)) {
        m_httpPort = m_options.httpPort;
    } else {
        m_httpPort = -1;
    }
    if (m_httpPort <= 0) {
        *error = "cannot bind the HTTP port " + std::to_string(m_options.httpPort);
        return false;
    }
    if (!m_options.secondOriginAddress.empty()) {
        m_secondHttp = std::make_unique<httplib::Server>();
        StaticPages::install(*m_secondHttp, m_options.pagesDir, m_log);
        m_secondPort = m_secondHttp->bind_to_any_port(m_options.secondOriginAddress);
        if (m_secondPort <= 0) {
            *error = "cannot bind the second origin on " + m_options.secondOriginAddress;
            return false;
        }
        m_secondThread = std::thread([this] { m_secondHttp->listen_after_bind(); });
    }
    return true;
}

std::string DevService::secondOrigin() const
{
    if (m_secondPort <= 0)
        return {};
    return "http://" + m_options.secondOriginAddress + ":" + std::to_string(m_secondPort) + "/";
}

void DevService::run()
{
    m_http->listen_after_bind();
}

void DevService::stop()
{
    // Only the HTTP server: this runs from the signal handler. The session port closes when
    // the service object goes.
    m_http->stop();
}

void DevService::runInBackground()
{
    if (m_background.joinable())
        return;
    m_background = std::thread([this] { run(); });
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!m_http->is_running() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void DevService::stopBackground()
{
    if (!m_background.joinable())
        return;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!m_http->is_running() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    stop();
    m_background.join();
}

int DevService::sessionPort() const
{
    return m_session->port();
}

} // namespace devservice
