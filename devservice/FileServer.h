#pragma once

#include "devservice/FileRule.h"

#include <map>
#include <mutex>
#include <string>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

namespace devservice {

class DevLog;

// Serves the files of one folder under /files/ (GET and HEAD) with single byte ranges, the way
// the download engine uses them: "Range: bytes=N-" gets 206 with Content-Range, a range that
// starts at or past the end gets 416 with "Content-Range: bytes */<size>". Each request is
// logged as one line
//   files GET /files/<name> range=<Range header, or none> status=<status>
// which tests read to see where a download resumed.
//
// Tests make a path misbehave through the control endpoint (rules in FileRule.h):
//   POST   /control/files  {"path":"/files/a.bin", ...rule}  sets the path's rule (only "path": clears it)
//   DELETE /control/files                                    clears every rule
// Both answer {"ok":true}, or 400 with {"ok":false,"error":...} for a malformed request.
class FileServer
{
public:
    FileServer(std::string filesDir, DevLog& log);

    // Registers the routes; call it before any catch-all GET route. The server keeps the
    // FileServer alive.
    static void install(httplib::Server& server, const std::string& filesDir, DevLog& log);

    // The file below filesDir that a request path names, or empty when there is none or the
    // path tries to leave the folder.
    static std::string fileFor(const std::string& filesDir, const std::string& requestPath);

private:
    void serve(const httplib::Request& req, httplib::Response& res);
    void control(const httplib::Request& req, httplib::Response& res);
    void clear(const httplib::Request& req, httplib::Response& res);
    // The path's rule for one request; counts down its uses.
    FileRule takeRule(const std::string& path);
    void logRequest(const httplib::Request& req, int status);

    std::string m_filesDir;
    DevLog& m_log;
    std::mutex m_mutex;
    std::map<std::string, FileRule> m_rules;
};

} // namespace devservice
