#include "devservice/FileServer.h"

#include "devservice/DevLog.h"

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace devservice {

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kPrefix[] = "/files/";
constexpr std::int64_t kChunkBytes = 64 * 1024;

// Sleeps until `until` in short steps; false as soon as the client has gone away.
bool waitUntil(Clock::time_point until, httplib::DataSink& sink)
{
    while (Clock::now() < until) {
        const auto step = std::min<Clock::duration>(until - Clock::now(), std::chrono::milliseconds(50));
        std::this_thread::sleep_for(step);
        if (!sink.is_writable())
            return false;
    }
    return true;
}

// One answer's body: bytes [pos, end) of an open file, paced and broken as the rule says.
class Body
{
public:
    Body(int fd, std::int64_t start, std::int64_t end, FileRule rule)
        : m_fd(fd)
        , m_start(start)
        , m_pos(start)
        , m_end(end)
        , m_rule(std::move(rule))
        , m_began(Clock::now())
    {
    }
    ~Body() { ::close(m_fd); }
    Body(const Body&) = delete;
    Body& operator=(const Body&) = delete;

    // One step of httplib's content provider: false cuts the connection.
    bool next(httplib::DataSink& sink)
    {
        if (m_pos >= m_end) {
            sink.done();
            return true;
        }
        std::int64_t count = std::min(kChunkBytes, m_end - m_pos);
        // Faults sit at file offsets; an answer that starts at or past one does not meet it.
        if (m_rule.dropAfter >= 0 && m_start < m_rule.dropAfter) {
            if (m_pos >= m_rule.dropAfter)
                return false;
            count = std::min(count, m_rule.dropAfter - m_pos);
        }
        if (m_rule.stallAfter >= 0 && m_start < m_rule.stallAfter && !m_stalled) {
            if (m_pos >= m_rule.stallAfter) {
                m_stalled = true;
                const auto pause
                    = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(m_rule.stallSeconds));
                if (!waitUntil(Clock::now() + pause, sink))
                    return false;
            } else {
                count = std::min(count, m_rule.stallAfter - m_pos);
            }
        }
        if (m_rule.throttle > 0) {
            count = std::min(count, std::max<std::int64_t>(1, m_rule.throttle / 20));
            const auto due = m_began
                + std::chrono::duration_cast<Clock::duration>(
                                 std::chrono::duration<double>(static_cast<double>(m_sent) / m_rule.throttle));
            if (!waitUntil(due, sink))
                return false;
        }
        m_buffer.resize(static_cast<size_t>(count));
        const ssize_t got = ::pread(m_fd, m_buffer.data(), m_buffer.size(), m_pos);
        if (got <= 0 || !sink.write(m_buffer.data(), static_cast<size_t>(got)))
            return false;
        m_pos += got;
        m_sent += got;
        return true;
    }

private:
    int m_fd;
    std::int64_t m_start;
    std::int64_t m_pos;
    std::int64_t m_end;
    FileRule m_rule;
    Clock::time_point m_began;
    std::int64_t m_sent = 0;
    bool m_stalled = false;
    std::vector<char> m_buffer;
};

enum class RangeAnswer { Whole, Part, Unsatisfiable };

// A single range "bytes=A-", "bytes=A-B" or "bytes=-N" against the file size; several
// ranges, or anything else, are answered with the whole file.
RangeAnswer parseRange(const std::string& header, std::int64_t size, std::int64_t* start, std::int64_t* end)
{
    const std::string unit = "bytes=";
    if (header.compare(0, unit.size(), unit) != 0 || header.find(',') != std::string::npos)
        return RangeAnswer::Whole;
    const std::string rangeText = header.substr(unit.size());
    const auto dash = rangeText.find('-');
    if (dash == std::string::npos)
        return RangeAnswer::Whole;
    const std::string first = rangeText.substr(0, dash);
    const std::string last = rangeText.substr(dash + 1);
    const auto number = [](const std::string& text, std::int64_t* out) {
        if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos)
            return false;
        *out = std::stoll(text);
        return true;
    };
    std::int64_t a = 0;
    std::int64_t b = 0;
    if (first.empty()) {
        if (!number(last, &b))
            return RangeAnswer::Whole;
        if (b == 0 || size == 0)
            return RangeAnswer::Unsatisfiable;
        *start = std::max<std::int64_t>(0, size - b);
        *end = size;
        return RangeAnswer::Part;
    }
    if (!number(first, &a))
        return RangeAnswer::Whole;
    if (!last.empty() && (!number(last, &b) || b < a))
        return RangeAnswer::Whole;
    if (a >= size)
        return RangeAnswer::Unsatisfiable;
    *start = a;
    *end = last.empty() ? size : std::min(b + 1, size);
    return RangeAnswer::Part;
}

} // namespace

FileServer::FileServer(std::string filesDir, DevLog& log)
    : m_filesDir(std::move(filesDir))
    , m_log(log)
{
}

void FileServer::install(httplib::Server& server, const std::string& filesDir, DevLog& log)
{
    auto self = std::make_shared<FileServer>(filesDir, log);
    server.Get(R"(/files/.*)", [self](const httplib::Request& req, httplib::Response& res) { self->serve(req, res); });
    server.Post("/control/files",
                [self](const httplib::Request& req, httplib::Response& res) { self->control(req, res); });
    server.Delete("/control/files",
                  [self](const httplib::Request& req, httplib::Response& res) { self->clear(req, res); });
}

std::string FileServer::fileFor(const std::string& filesDir, const std::string& requestPath)
{
    const std::string prefix = kPrefix;
    if (requestPath.compare(0, prefix.size(), prefix) != 0)
        return {};
    std::string rel = requestPath.substr(prefix.size());
    while (!rel.empty() && rel.front() == '/')
        rel.erase(rel.begin());
    if (rel.empty() || rel.find('\0') != std::string::npos)
        return {};
    const std::filesystem::path relPath(rel);
    for (const auto& part : relPath) {
        if (part == "..")
            return {};
    }
    const std::filesystem::path file = std::filesystem::path(filesDir) / relPath;
    std::error_code ec;
    return std::filesystem::is_regular_file(file, ec) ? file.string() : std::string();
}

FileRule FileServer::takeRule(const std::string& path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_rules.find(path);
    if (it == m_rules.end())
        return {};
    FileRule rule = it->second;
    if (it->second.uses > 0 && --it->second.uses == 0)
        m_rules.erase(it);
    return rule;
}

void FileServer::logRequest(const httplib::Request& req, int status)
{
    const std::string range = req.has_header("Range") ? req.get_header_value("Range") : std::string("none");
    m_log.line("files " + req.method + " " + req.path + " range=" + range + " status=" + std::to_string(status));
}

void FileServer::serve(const httplib::Request& req, httplib::Response& res)
{
    // httplib cuts bodies to the request's ranges by itself. This handler answers ranges on
    // its own (and ignores them on purpose when a test asks), so it hides the parsed ranges
    // from httplib. The request object is the server's own, not a constant.
    const_cast<httplib::Request&>(req).ranges.clear();

    const FileRule rule = takeRule(req.path);
    if (rule.delayHeaders > 0)
        std::this_thread::sleep_for(std::chrono::duration<double>(rule.delayHeaders));
    if (!rule.redirectTo.empty()) {
        res.set_redirect(rule.redirectTo, 302);
        logRequest(req, res.status);
        return;
    }
    if (rule.status != 0) {
        res.status = rule.status;
        res.set_content("status " + std::to_string(rule.status) + "\n", "text/plain");
        logRequest(req, res.status);
        return;
    }

    const std::string file = fileFor(m_filesDir, req.path);
    const int fd = file.empty() ? -1 : ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info = {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        if (fd >= 0)
            ::close(fd);
        res.status = 404;
        res.set_content("not found\n", "text/plain");
        logRequest(req, res.status);
        return;
    }
    const std::int64_t size = info.st_size;

    const bool hasRange = req.has_header("Range");
    std::int64_t start = 0;
    std::int64_t end = size;
    RangeAnswer answer = RangeAnswer::Whole;
    if (hasRange && !rule.ignoreRange)
        answer = parseRange(req.get_header_value("Range"), size, &start, &end);
    if (answer == RangeAnswer::Unsatisfiable) {
        ::close(fd);
        res.status = 416;
        res.set_header("Content-Range", "bytes */" + std::to_string(size));
        logRequest(req, res.status);
        return;
    }

    if (answer == RangeAnswer::Part && rule.rangeLimit > 0)
        end = std::min(end, start + rule.rangeLimit);
    res.status = answer == RangeAnswer::Part ? 206 : 200;
    res.set_header("Accept-Ranges", "bytes");
    res.set_header("Cache-Control", "no-store");
    if (answer == RangeAnswer::Part)
        res.set_header("Content-Range",
                       "bytes " + std::to_string(start) + "-" + std::to_string(end - 1) + "/" + std::to_string(size));
    auto body = std::make_shared<Body>(fd, start, end, rule);
    const auto provide = [body](size_t, httplib::DataSink& sink) { return body->next(sink); };
    const bool withLength = !rule.noContentLength && !(rule.noContentLengthForRange && hasRange);
    if (withLength) {
        res.set_header("Content-Length", std::to_string(end - start));
        res.set_content_provider("application/octet-stream", provide);
    } else {
        res.set_chunked_content_provider("application/octet-stream", provide);
    }
    logRequest(req, res.status);
}

void FileServer::control(const httplib::Request& req, httplib::Response& res)
{
    std::string path;
    FileRule rule;
    std::string error;
    if (!FileRule::fromJson(req.body, &path, &rule, &error)) {
        res.status = 400;
        res.set_content(R"({"ok":false,"error":")" + error + "\"}\n", "application/json");
        m_log.line("files control rejected: " + error);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (rule.isNone())
            m_rules.erase(path);
        else
            m_rules[path] = rule;
    }
    m_log.line("files control " + path + (rule.isNone() ? " cleared" : " set"));
    res.set_content("{\"ok\":true}\n", "application/json");
}

void FileServer::clear(const httplib::Request&, httplib::Response& res)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_rules.clear();
    }
    m_log.line("files control cleared");
    res.set_content("{\"ok\":true}\n", "application/json");
}

} // namespace devservice
