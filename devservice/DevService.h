#pragma once

#include "devservice/DevLog.h"
#include "devservice/DevServiceOptions.h"

#include <memory>

namespace httplib {
class Server;
}

namespace devservice {

// The local stand-in for the vendor's service: web pages (and later files, the session port
// and a control API for tests) on loopback.
class DevService
{
public:
    explicit DevService(DevServiceOptions options);
    ~DevService();

    // Binds the ports; false when one cannot be bound.
    bool start(std::string* error);
    // Serves until stop() (blocking).
    void run();
    void stop();

    int httpPort() const { return m_httpPort; }
    DevLog& log() { return m_log; }
    httplib::Server& http() { return *m_http; }

private:
    DevServiceOptions m_options;
    DevLog m_log;
    std::unique_ptr<httplib::Server> m_http;
    int m_httpPort = 0;
};

} // namespace devservice
