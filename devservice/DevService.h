#pragma once

#include "devservice/DevLog.h"
#include "devservice/DevServiceOptions.h"

#include <memory>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace devservice {

class SessionServer;

// The local stand-in for the vendor's service on loopback: web pages, files, and the session
// port with its control API for tests.
class DevService
{
public:
    explicit DevService(DevServiceOptions options);
    ~DevService();

    // Binds the ports; false when one cannot be bound.
    bool start(std::string* error);
    // Serves until stop() (blocking).
    void run();
    // Ends run(); safe from a signal handler. A server that is not listening yet misses it.
    void stop();
    // For tests and benchmarks: serves on a thread of its own and returns once the server
    // listens, so that stopping it afterwards can never be missed.
    void runInBackground();
    // Stops what runInBackground() started and waits for its thread.
    void stopBackground();

    int httpPort() const { return m_httpPort; }
    // The pages again on a second origin (--second-origin ADDR), for tests of foreign frames;
    // empty when not asked for.
    std::string secondOrigin() const;
    int sessionPort() const;
    SessionServer& session() { return *m_session; }
    DevLog& log() { return m_log; }
    httplib::Server& http() { return *m_http; }

private:
    DevServiceOptions m_options;
    DevLog m_log;
    std::unique_ptr<httplib::Server> m_http;
    std::unique_ptr<httplib::Server> m_secondHttp;
    int m_secondPort = 0;
    std::thread m_secondThread;
    std::thread m_background;
    std::unique_ptr<SessionServer> m_session;
    int m_httpPort = 0;
};

} // namespace devservice
