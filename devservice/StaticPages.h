#pragma once

#include <string>

namespace httplib {
class Server;
}

namespace devservice {

class DevLog;

// Serves the service's web pages from a folder: "/Course/Index" is the file
// "Course/Index.html", "/" is "index.html"; other files are served by their own name.
class StaticPages
{
public:
    static void install(httplib::Server& server, const std::string& pagesDir, DevLog& log);
    // Maps a request path to a file below pagesDir; empty for paths that try to leave it.
    static std::string fileFor(const std::string& pagesDir, const std::string& requestPath);
};

} // namespace devservice
