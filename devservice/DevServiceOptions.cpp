#include "devservice/DevServiceOptions.h"

#include <cstdlib>
#include <cstring>

namespace devservice {

namespace {
bool toPort(const char* text, int* port)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (!end || *end != '\0' || value < 0 || value > 65535)
        return false;
    *port = static_cast<int>(value);
    return true;
}
} // namespace

bool DevServiceOptions::parse(int argc, char** argv, std::string* error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            *error = usage();
            return false;
        }
        if (!hasValue) {
            *error = "option " + arg + " needs a value\n" + usage();
            return false;
        }
        const char* value = argv[++i];
        if (arg == "--bind") {
            bindAddress = value;
        } else if (arg == "--http-port") {
            if (!toPort(value, &httpPort)) {
                *error = "bad port: " + std::string(value);
                return false;
            }
        } else if (arg == "--session-port") {
            if (!toPort(value, &sessionPort)) {
                *error = "bad port: " + std::string(value);
                return false;
            }
        } else if (arg == "--pages") {
            pagesDir = value;
        } else if (arg == "--log") {
            logPath = value;
        } else if (arg == "--second-origin") {
            secondOriginAddress = value;
        } else if (arg == "--users") {
            usersPath = value;
        } else if (arg == "--files") {
            filesDir = value;
        } else {
            *error = "unknown option " + arg + "\n" + usage();
            return false;
        }
    }
    return true;
}

std::string DevServiceOptions::usage()
{
    return "usage: kavren-devservice [--bind ADDR] [--http-port N] [--session-port N] [--pages DIR] [--log FILE]\n"
           "  port 0 picks a free port; the ready line names the ports in use\n"
           "  --files DIR serves the files of DIR under /files/ with byte ranges\n"
           "  --second-origin ADDR serves the pages once more on ADDR (a free port), another origin\n"
           "  --users FILE the login page's demo users (default: devservice/demo/users.json beside the program)\n";
}

} // namespace devservice
