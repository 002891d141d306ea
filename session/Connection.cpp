#include "session/Connection.h"

#include "session/Frame.h"
#include "session/Protocol.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace session {

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds left until deadline for poll(): -1 without deadline, never below 0.
int remainingMs(bool limited, Clock::time_point deadline)
{
    if (!limited)
        return -1;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(left);
}

bool setBlocking(int fd, bool blocking)
{
    const int flags = ::fcntl(fd, F_GETFL, 0);
    if (flags < 0)
        return false;
    const int wanted = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
    return ::fcntl(fd, F_SETFL, wanted) == 0;
}

} // namespace

Connection::Connection()
    : m_fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP))
    , m_wakeFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
}

Connection::~Connection()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

void Connection::cancel()
{
    if (m_cancelled.exchange(true))
        return;
    if (m_wakeFd >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_wakeFd, &one, sizeof(one));
    }
    // Ends a send that blocks on a full buffer; the descriptor itself stays ours until the
    // object goes, so its number cannot be handed to another socket meanwhile.
    if (m_fd >= 0)
        ::shutdown(m_fd, SHUT_RDWR);
}

int Connection::pollFor(short events, int timeoutMs, bool* woken)
{
    pollfd fds[2] = { { m_fd, events, 0 }, { m_wakeFd, POLLIN, 0 } };
    const int result = ::poll(fds, 2, timeoutMs);
    *woken = result > 0 && (fds[1].revents & POLLIN) != 0;
    return result;
}

Connection::ConnectResult Connection::connectTo(const QString& ipv4Address, quint16 port, int timeoutMs)
{
    if (!valid())
        return ConnectResult::Failed;
    if (m_cancelled)
        return ConnectResult::Cancelled;
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (::inet_pton(AF_INET, ipv4Address.toLatin1().constData(), &address.sin_addr) != 1)
        return ConnectResult::Failed;
    if (!setBlocking(m_fd, false))
        return ConnectResult::Failed;

    int result = ::connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    if (result != 0 && errno != EINPROGRESS && errno != EINTR)
        return ConnectResult::Failed;
    if (result != 0) {
        const bool limited = timeoutMs >= 0;
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(limited ? timeoutMs : 0);
        for (;;) {
            bool woken = false;
            const int ready = pollFor(POLLOUT, remainingMs(limited, deadline), &woken);
            if (woken || m_cancelled)
                return ConnectResult::Cancelled;
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready < 0)
                return ConnectResult::Failed;
            if (ready == 0)
                return ConnectResult::TimedOut;
            break;
        }
        int error = 0;
        socklen_t length = sizeof(error);
        if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
            return ConnectResult::Failed;
    }
    if (!setBlocking(m_fd, true))
        return ConnectResult::Failed;
    // Commands are small and answered one by one: send each at once.
    const int noDelay = 1;
    ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof(noDelay));
    return ConnectResult::Connected;
}

bool Connection::setIoTimeouts(int timeoutMs)
{
    if (!valid())
        return false;
    timeval limit {};
    limit.tv_sec = timeoutMs / 1000;
    limit.tv_usec = (timeoutMs % 1000) * 1000;
    return ::setsockopt(m_fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof(limit)) == 0
        && ::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit)) == 0;
}

bool Connection::sendCommand(const QByteArray& commandText)
{
    const QByteArray frame = Frame::encode(commandText);
    if (frame.isEmpty())
        return false;
    return sendBytes(frame);
}

bool Connection::sendBytes(const QByteArray& bytes)
{
    if (!valid() || m_cancelled)
        return false;
    const char* data = bytes.constData();
    std::size_t left = static_cast<std::size_t>(bytes.size());
    // A short write is completed rather than left for the peer to misread.
    while (left > 0) {
        const ssize_t sent = ::send(m_fd, data, left, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR && !m_cancelled)
            continue;
        if (sent <= 0)
            return false;
        data += sent;
        left -= static_cast<std::size_t>(sent);
    }
    return true;
}

Connection::ReceiveStatus Connection::receive(QByteArray* payload, int timeoutMs, int* frameBytes)
{
    const bool limited = timeoutMs >= 0;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(limited ? timeoutMs : 0);
    char chunk[protocol::kMaxFrameSize];
    for (;;) {
        switch (m_reader.next(payload)) {
        case FrameReader::Status::Frame:
            if (frameBytes)
                *frameBytes = static_cast<int>(payload->size()) + protocol::kHeaderSize;
            return ReceiveStatus::Command;
        case FrameReader::Status::ProtocolError:
            return ReceiveStatus::ProtocolError;
        case FrameReader::Status::NeedMore:
            break;
        }
        if (!valid())
            return ReceiveStatus::Error;
        if (m_cancelled)
            return ReceiveStatus::Cancelled;

        bool woken = false;
        const int ready = pollFor(POLLIN, remainingMs(limited, deadline), &woken);
        if (woken || m_cancelled)
            return ReceiveStatus::Cancelled;
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return ReceiveStatus::Error;
        if (ready == 0)
            return ReceiveStatus::TimedOut;

        const ssize_t n = ::recv(m_fd, chunk, sizeof(chunk), MSG_DONTWAIT);
        if (n > 0) {
            m_reader.append(chunk, static_cast<std::size_t>(n));
            continue;
        }
        if (m_cancelled)
            return ReceiveStatus::Cancelled;
        if (n == 0)
            return m_reader.pending() > 0 ? ReceiveStatus::Truncated : ReceiveStatus::Closed;
        if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)
            continue;
        return ReceiveStatus::Error;
    }
}

int Connection::receiveCommand(QByteArray* payload, int timeoutMs)
{
    int frameBytes = 0;
    switch (receive(payload, timeoutMs, &frameBytes)) {
    case ReceiveStatus::Command:
        return frameBytes;
    case ReceiveStatus::Closed:
        return 0;
    case ReceiveStatus::Truncated:
    case ReceiveStatus::Error:
    case ReceiveStatus::TimedOut:
    case ReceiveStatus::ProtocolError:
    case ReceiveStatus::Cancelled:
        break;
    }
    return -1;
}

} // namespace session
