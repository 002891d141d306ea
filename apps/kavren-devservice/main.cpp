// The local dev service: the service's pages, its session port, files and a control API on
// loopback, for the demo and the end-to-end tests.

#include "devservice/DevService.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace {

devservice::DevService* g_service = nullptr;

void onSignal(int)
{
    if (g_service)
        g_service->stop();
}

// A folder of the dev service's own data: beside the program when installed, else in the
// source tree.
std::string dataPath(const char* name)
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    const auto beside = exe.parent_path() / "devservice" / name;
    if (!ec && std::filesystem::exists(beside))
        return beside.string();
    return (std::filesystem::path(KAVREN_DEVSERVICE_SOURCE_DIR) / name).string();
}

} // namespace

int main(int argc, char** argv)
{
    devservice::DevServiceOptions options;
    std::string error;
    if (!options.parse(argc, argv, &error)) {
        std::cerr << error;
        return 2;
    }
    if (options.pagesDir.empty())
        options.pagesDir = dataPath("pages");
    if (options.usersPath.empty())
        options.usersPath = dataPath("demo/users.json");

    devservice::DevService service(options);
    if (!service.start(&error)) {
        std::cerr << "kavren-devservice: " << error << "\n";
        return 1;
    }
    g_service = &service;
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::string ready = "kavren-devservice ready http=" + std::to_string(service.httpPort())
        + " session=" + std::to_string(service.sessionPort());
    if (!service.secondOrigin().empty())
        ready += " second-origin=" + service.secondOrigin();
    service.log().line(ready);
    service.run();
    return 0;
}
