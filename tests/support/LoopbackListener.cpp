#include "tests/support/LoopbackListener.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

namespace {

long long msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

BareListener::BareListener(int backlog)
{
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    ::listen(m_fd, backlog);
    socklen_t length = sizeof(address);
    ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
}

BareListener::~BareListener()
{
    for (int fd : m_fillers)
        ::close(fd);
    for (int fd : m_accepted)
        ::close(fd);
    ::close(m_fd);
}

int BareListener::acceptOne(int timeoutMs)
{
    pollfd pfd { m_fd, POLLIN, 0 };
    if (::poll(&pfd, 1, timeoutMs) <= 0)
        return -1;
    const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0)
        m_accepted.push_back(fd);
    return fd;
}

bool BareListener::fillBacklog()
{
    for (int i = 0; i < 16; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(m_port);
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        m_fillers.push_back(fd);
        pollfd pfd { fd, POLLOUT, 0 };
        if (::poll(&pfd, 1, 300) == 0)
            return true; // this one hangs: the queue is full
    }
    return false;
}

void BareListener::releaseFillers()
{
    for (int fd : m_fillers)
        ::close(fd);
    m_fillers.clear();
}

std::string BareListener::readSome(int fd, int timeoutMs)
{
    std::string data;
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        const long long left = timeoutMs - msSince(start);
        if (left <= 0)
            break;
        pollfd pfd { fd, POLLIN, 0 };
        if (::poll(&pfd, 1, static_cast<int>(left)) <= 0)
            break;
        char chunk[16384];
        const ssize_t n = ::recv(fd, chunk, sizeof(chunk), 0);
        if (n <= 0)
            break;
        data.append(chunk, static_cast<std::size_t>(n));
    }
    return data;
}

quint16 closedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    socklen_t length = sizeof(address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

} // namespace testsupport
