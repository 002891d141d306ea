#include "devservice/StaticPages.h"

#include "devservice/DevLog.h"

#include <httplib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace devservice {

namespace {

std::string contentTypeFor(const std::string& path)
{
    const auto ext = std::filesystem::path(path).extension().string();
    if (ext == ".html" || ext == ".htm")
        return "text/html; charset=utf-8";
    if (ext == ".js")
        return "application/javascript; charset=utf-8";
    if (ext == ".css")
        return "text/css; charset=utf-8";
    if (ext == ".json")
        return "application/json; charset=utf-8";
    if (ext == ".png")
        return "image/png";
    if (ext == ".svg")
        return "image/svg+xml";
    return "application/octet-stream";
}

} // namespace

std::string StaticPages::fileFor(const std::string& pagesDir, const std::string& requestPath)
{
    std::string rel = requestPath;
    const auto query = rel.find('?');
    if (query != std::string::npos)
        rel.resize(query);
    while (!rel.empty() && rel.front() == '/')
        rel.erase(rel.begin());
    if (rel.empty())
        rel = "index.html";
    const std::filesystem::path relPath(rel);
    for (const auto& part : relPath) {
        if (part == "..")
            return {};
    }
    std::filesystem::path file = std::filesystem::path(pagesDir) / relPath;
    if (!relPath.has_extension() || std::filesystem::is_directory(file)) {
        std::filesystem::path html = file;
        html += ".html";
        if (std::filesystem::is_regular_file(html))
            return html.string();
        if (std::filesystem::is_regular_file(file / "index.html"))
            return (file / "index.html").string();
    }
    return std::filesystem::is_regular_file(file) ? file.string() : std::string();
}

void StaticPages::install(httplib::Server& server, const std::string& pagesDir, DevLog& log)
{
    server.Get(R"(/.*)", [pagesDir, &log](const httplib::Request& req, httplib::Response& res) {
        const std::string file = fileFor(pagesDir, req.path);
        if (file.empty()) {
            log.line("page 404 " + req.path);
            res.status = 404;
            res.set_content("<html><body>404</body></html>", "text/html; charset=utf-8");
            return;
        }
        std::ifstream in(file, std::ios::binary);
        std::stringstream body;
        body << in.rdbuf();
        res.set_header("Cache-Control", "no-store");
        res.set_content(body.str(), contentTypeFor(file));
    });
}

} // namespace devservice
