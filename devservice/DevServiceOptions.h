#pragma once

#include <string>

namespace devservice {

// Command-line options of kavren-devservice. Port 0 picks a free port; the chosen ports are
// printed on the ready line.
struct DevServiceOptions
{
    std::string bindAddress = "127.0.0.1";
    int httpPort = 60080;
    int sessionPort = 60001;
    std::string pagesDir;   // default: <exe dir>/devservice/pages, else the source tree's pages
    std::string logPath;    // empty: log to standard output only
    std::string filesDir;   // served under /files/ with byte ranges; empty: no files
    std::string secondOriginAddress; // e.g. 127.0.0.2: the pages once more on another origin
    std::string usersPath;  // demo users of the login page; default: <exe dir>/devservice/demo/users.json

    // Returns false (and fills error) for an unknown or malformed option.
    bool parse(int argc, char** argv, std::string* error);
    static std::string usage();
};

} // namespace devservice
