#include "tests/support/PromptServer.h"

#include <chrono>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace testsupport {

PromptServer::PromptServer(const std::string& socketPath)
    : m_path(socketPath)
{
    ::unlink(m_path.c_str());
    m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, m_path.c_str(), sizeof(addr.sun_path) - 1);
    ::bind(m_listener, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
    ::listen(m_listener, 16);
    m_acceptThread = std::thread([this] { acceptLoop(); });
}

PromptServer::~PromptServer()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        for (int fd : m_connections)
            ::shutdown(fd, SHUT_RDWR);
    }
    ::shutdown(m_listener, SHUT_RDWR);
    ::close(m_listener);
    m_acceptThread.join();
    for (auto& t : m_threads)
        t.join();
    for (int fd : m_connections)
        ::close(fd);
    ::unlink(m_path.c_str());
}

void PromptServer::acceptLoop()
{
    for (;;) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            return;
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping) {
            ::close(fd);
            return;
        }
        m_connections.push_back(fd);
        m_threads.emplace_back([this, fd] { readLoop(fd); });
    }
}

void PromptServer::readLoop(int fd)
{
    std::string buffer;
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::recv(fd, chunk, sizeof(chunk), 0);
        if (n <= 0)
            return;
        buffer.append(chunk, static_cast<size_t>(n));
        size_t eol;
        while ((eol = buffer.find('\n')) != std::string::npos) {
            Prompt prompt{fd, buffer.substr(0, eol)};
            buffer.erase(0, eol + 1);
            std::lock_guard<std::mutex> lock(m_mutex);
            m_all.push_back(prompt.json);
            m_pending.push_back(prompt);
            m_cv.notify_all();
        }
    }
}

std::optional<PromptServer::Prompt> PromptServer::next(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !m_pending.empty(); }))
        return std::nullopt;
    Prompt prompt = m_pending.front();
    m_pending.pop_front();
    return prompt;
}

void PromptServer::answer(const Prompt& prompt, const std::string& reply)
{
    const std::string line = reply + "\n";
    ::send(prompt.connection, line.data(), line.size(), MSG_NOSIGNAL);
}

std::vector<std::string> PromptServer::all()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_all;
}

} // namespace testsupport
