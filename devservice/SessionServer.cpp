#include "devservice/SessionServer.h"

#include "devservice/DevLog.h"

#include "config/Deployment.h"

#include <json/reader.h>
#include <json/writer.h>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace devservice {

namespace {

constexpr std::uint32_t kHeaderSize = 4;
constexpr std::uint32_t kMaxFrameSize = 10240;
constexpr std::size_t kHistorySize = 2000;

std::string frame(const std::string& payload)
{
    const auto length = static_cast<std::uint32_t>(payload.size() + kHeaderSize);
    std::string bytes(kHeaderSize, '\0');
    for (std::uint32_t i = 0; i < kHeaderSize; ++i)
        bytes[i] = static_cast<char>((length >> (8 * i)) & 0xFFu);
    return bytes + payload;
}

std::string compact(const Json::Value& value)
{
    Json::FastWriter writer;
    return writer.write(value);
}

std::string now()
{
    const std::time_t t = std::time(nullptr);
    std::tm local {};
    localtime_r(&t, &local);
    char text[32] = {};
    std::strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

// Reads members leniently: the dev service answers whatever a client sends.
int intMember(const Json::Value& object, const char* name)
{
    const Json::Value& value = object[name];
    return value.isNumeric() || value.isBool() ? value.asInt() : 0;
}

std::string textMember(const Json::Value& object, const char* name)
{
    const Json::Value& value = object[name];
    return value.isString() ? value.asString() : std::string();
}

void wake(int fd)
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(fd, &one, sizeof(one));
}

void drain(int fd)
{
    std::uint64_t value = 0;
    [[maybe_unused]] const ssize_t got = ::read(fd, &value, sizeof(value));
}

} // namespace

struct SessionServer::Peer
{
    int id = 0;
    int fd = -1; // closed by the peer's reader thread when it ends
    std::mutex sendMutex; // one writer at a time; guards fd against that close
    std::string loginId; // the rest is guarded by the server's mutex
    std::string sessionId;
    bool loggedIn = false;
    std::atomic<bool> dropped { false }; // closed by the service, not by the client
    std::thread thread;
};

SessionServer::SessionServer(DevLog& log)
    : m_log(log)
    , m_updateAnswer(defaultUpdateAnswer())
{
}

SessionServer::~SessionServer()
{
    stop();
}

Json::Value SessionServer::defaultUpdateAnswer() const
{
    Json::Value answer(Json::objectValue);
    answer["ClientMD5"] = "";
    answer["CommandType"] = 2;
    answer["JsonData"] = "";
    answer["LowestVersion"] = deployment::kVersionText;
    answer["MainFileName"] = "kavrenbox";
    answer["UpdateDate"] = "";
    answer["UpdateLog"] = "";
    answer["UpdateUrl"] = "";
    answer["ValidateResult"] = true;
    answer["Version"] = deployment::kVersionText;
    return answer;
}

int SessionServer::openListener(int port, std::string* error)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0) {
        *error = "cannot create the session socket";
        return -1;
    }
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, m_bindAddress.c_str(), &address.sin_addr) != 1) {
        ::close(fd);
        *error = "bad bind address " + m_bindAddress;
        return -1;
    }
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 || ::listen(fd, 64) != 0) {
        ::close(fd);
        *error = "cannot bind the session port " + std::to_string(port);
        return -1;
    }
    return fd;
}

bool SessionServer::start(const std::string& bindAddress, int port, std::string* error)
{
    m_bindAddress = bindAddress;
    m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    const int fd = openListener(port, error);
    if (fd < 0 || m_wakeFd < 0)
        return false;
    sockaddr_in bound {};
    socklen_t length = sizeof(bound);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
    m_port = ntohs(bound.sin_port);
    m_listenFd = fd;
    m_acceptThread = std::thread([this] { acceptLoop(); });
    return true;
}

void SessionServer::stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping || !m_acceptThread.joinable())
            return;
        m_stopping = true;
    }
    wake(m_wakeFd);
    m_changed.notify_all();
    m_acceptThread.join();
    dropAll();
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_peers.empty(); });
    }
    reapFinished();
    ::close(m_wakeFd);
    m_wakeFd = -1;
}

bool SessionServer::setListening(bool open)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_stopping)
        return false;
    m_wantListening = open;
    wake(m_wakeFd);
    m_changed.notify_all();
    // The accept thread owns the listening socket: wait until it has made the change (or
    // given up on a port that cannot be bound again, which clears the wish).
    m_changed.wait_for(lock, std::chrono::seconds(5),
                       [this, open] { return m_stopping || (m_listenFd >= 0) == open || m_wantListening != open; });
    return (m_listenFd >= 0) == open;
}

bool SessionServer::listening() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_listenFd >= 0;
}

void SessionServer::acceptLoop()
{
    for (;;) {
        int listenFd = -1;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (!m_stopping && !m_wantListening && m_listenFd >= 0) {
                ::close(m_listenFd);
                m_listenFd = -1;
                m_log.line("session port closed");
                m_changed.notify_all();
            }
            if (!m_stopping && m_wantListening && m_listenFd < 0) {
                std::string error;
                m_listenFd = openListener(m_port, &error);
                m_log.line(m_listenFd >= 0 ? "session port open " + std::to_string(m_port) : error);
                if (m_listenFd < 0)
                    m_wantListening = false;
                m_changed.notify_all();
            }
            if (m_stopping) {
                if (m_listenFd >= 0)
                    ::close(m_listenFd);
                m_listenFd = -1;
                return;
            }
            listenFd = m_listenFd;
        }
        pollfd fds[2] = { { m_wakeFd, POLLIN, 0 }, { listenFd, POLLIN, 0 } };
        const int ready = ::poll(fds, listenFd >= 0 ? 2 : 1, -1);
        if (ready < 0)
            continue;
        if (fds[0].revents & POLLIN)
            drain(m_wakeFd);
        reapFinished();
        if (listenFd < 0 || !(fds[1].revents & POLLIN))
            continue;
        const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        const int yes = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof(yes));
        // A client that stops reading must not hold a control request for long.
        timeval limit { 5, 0 };
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof(limit));
        auto peer = std::make_shared<Peer>();
        peer->fd = fd;
        std::lock_guard<std::mutex> lock(m_mutex);
        peer->id = m_nextPeerId++;
        m_peers[peer->id] = peer;
        peer->thread = std::thread([this, peer] { readLoop(peer); });
        m_log.line("session connection=" + std::to_string(peer->id) + " opened");
    }
}

void SessionServer::reapFinished()
{
    std::vector<std::thread> finished;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        finished.swap(m_finished);
    }
    for (std::thread& thread : finished)
        thread.join();
}

void SessionServer::readLoop(const std::shared_ptr<Peer>& peer)
{
    std::string buffer;
    char chunk[16384];
    std::string reason = "closed by the client";
    for (;;) {
        const ssize_t n = ::recv(peer->fd, chunk, sizeof(chunk), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        buffer.append(chunk, static_cast<std::size_t>(n));
        bool bad = false;
        while (buffer.size() >= kHeaderSize) {
            std::uint32_t length = 0;
            for (int i = 3; i >= 0; --i)
                length = (length << 8) | static_cast<unsigned char>(buffer[static_cast<std::size_t>(i)]);
            if (length < kHeaderSize || length > kMaxFrameSize) {
                reason = "bad frame length " + std::to_string(length);
                bad = true;
                break;
            }
            if (buffer.size() < length)
                break;
            const std::string payload = buffer.substr(kHeaderSize, length - kHeaderSize);
            buffer.erase(0, length);
            handle(peer, payload);
        }
        if (bad)
            break;
    }
    if (peer->dropped)
        reason = "dropped by the service";
    else if (!buffer.empty() && reason == "closed by the client")
        reason = "closed by the client in the middle of a frame";
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_peers.erase(peer->id);
        m_finished.push_back(std::move(peer->thread));
        m_changed.notify_all();
    }
    {
        std::lock_guard<std::mutex> lock(peer->sendMutex);
        ::close(peer->fd);
        peer->fd = -1;
    }
    m_log.line("session connection=" + std::to_string(peer->id) + " ended: " + reason);
    if (m_wakeFd >= 0)
        wake(m_wakeFd);
}

bool SessionServer::sendTo(Peer& peer, const std::string& bytes)
{
    std::lock_guard<std::mutex> lock(peer.sendMutex);
    if (peer.fd < 0)
        return false;
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        const ssize_t sent = ::send(peer.fd, bytes.data() + offset, bytes.size() - offset, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        offset += static_cast<std::size_t>(sent);
    }
    return true;
}

void SessionServer::handle(const std::shared_ptr<Peer>& peer, const std::string& payload)
{
    const std::string text = payload.substr(0, payload.find('\0'));
    Json::Value command;
    Json::Reader reader;
    const bool parsed = reader.parse(text, command, false) && command.isObject();
    const int commandType = parsed ? intMember(command, "CommandType") : 0;

    std::string shown = text;
    while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r'))
        shown.pop_back();
    m_log.line("session recv connection=" + std::to_string(peer->id) + " " + shown);

    bool stall = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        Json::Value entry(Json::objectValue);
        entry["seq"] = Json::UInt64(m_nextSeq++);
        entry["connection"] = peer->id;
        entry["commandType"] = commandType;
        entry["operation"] = parsed ? intMember(command, "Operation") : 0;
        entry["loginId"] = parsed ? textMember(command, "LoginId") : std::string();
        entry["payload"] = text;
        m_history.push_back(entry);
        while (m_history.size() > kHistorySize)
            m_history.pop_front();
        stall = m_stall;
    }
    if (!parsed || stall)
        return;
    if (commandType == 2) {
        std::string answer;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            answer = m_rawUpdateAnswer.empty() ? compact(m_updateAnswer) : m_rawUpdateAnswer;
        }
        sendTo(*peer, frame(answer));
    } else if (commandType == 3) {
        handleLogin(peer, command);
    }
}

void SessionServer::handleLogin(const std::shared_ptr<Peer>& peer, const Json::Value& command)
{
    const int operation = intMember(command, "Operation");
    const std::string loginId = textMember(command, "LoginId");
    const std::string date = now();

    Json::Value answer(Json::objectValue);
    answer["CommandType"] = 3;
    answer["Date"] = date;
    answer["LoginId"] = loginId;
    answer["Operation"] = operation;

    std::vector<std::pair<std::shared_ptr<Peer>, std::string>> displaced;
    std::vector<std::string> appended;
    bool accepted = true;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::string sessionId = textMember(command, "SessionId");
        if (sessionId.empty() || operation != 2)
            sessionId = "S" + std::to_string(m_nextSessionId++);
        if (operation == 2) {
            for (auto& [id, other] : m_peers) {
                if (other != peer && other->loggedIn && other->loginId == loginId) {
                    other->loggedIn = false;
                    displaced.emplace_back(other, other->sessionId);
                }
            }
        } else if (operation != 4) {
            bool onlineElsewhere = false;
            for (const auto& [id, other] : m_peers)
                onlineElsewhere = onlineElsewhere || (other != peer && other->loggedIn && other->loginId == loginId);
            if (m_refuseNext > 0) {
                --m_refuseNext;
                accepted = false;
            } else if (m_refuseWhenOnline && onlineElsewhere) {
                accepted = false;
            }
        }
        peer->loginId = loginId;
        peer->sessionId = sessionId;
        peer->loggedIn = accepted;
        answer["SessionId"] = sessionId;
        appended.swap(m_appendToLogin);
    }
    answer["LoginResult"] = accepted;

    for (const auto& [other, sessionId] : displaced) {
        Json::Value notice(Json::objectValue);
        notice["CommandType"] = 3;
        notice["Date"] = date;
        notice["LoginId"] = loginId;
        notice["LoginResult"] = false;
        notice["Operation"] = 3;
        notice["SessionId"] = sessionId;
        sendTo(*other, frame(compact(notice)));
        m_log.line("session connection=" + std::to_string(other->id)
                   + " displaced by connection=" + std::to_string(peer->id));
    }
    // The answer and what was asked to follow it go out in one write, so they arrive together.
    std::string bytes = frame(compact(answer));
    for (const std::string& payload : appended)
        bytes += frame(payload);
    sendTo(*peer, bytes);
    m_log.line("session connection=" + std::to_string(peer->id) + " login " + loginId
               + " operation=" + std::to_string(operation) + (accepted ? " accepted" : " refused: online elsewhere"));
}

std::vector<std::shared_ptr<SessionServer::Peer>> SessionServer::peersOf(const std::string& phone,
                                                                         bool loggedInOnly) const
{
    std::vector<std::shared_ptr<Peer>> peers;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& [id, peer] : m_peers) {
        if (loggedInOnly && !peer->loggedIn)
            continue;
        if (!phone.empty() && peer->loginId != phone)
            continue;
        peers.push_back(peer);
    }
    return peers;
}

int SessionServer::push(const std::string& phone, const Json::Value& messages)
{
    Json::Value list(Json::arrayValue);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const Json::Value& given : messages) {
            Json::Value message(Json::objectValue);
            message["Id"] = m_nextMessageId++;
            message["Title"] = "";
            message["Content"] = "";
            message["Link"] = "";
            message["Type"] = 1;
            message["TypeName"] = "";
            message["Range"] = phone.empty() ? 0 : 1;
            message["RangeName"] = "";
            message["UserPhone"] = phone;
            message["Date"] = now();
            if (given.isObject()) {
                for (const std::string& name : given.getMemberNames())
                    message[name] = given[name];
            }
            list.append(message);
        }
    }
    Json::Value command(Json::objectValue);
    command["CommandType"] = 4;
    command["MessageList"] = list;
    const std::string bytes = frame(compact(command));
    int sent = 0;
    for (const auto& peer : peersOf(phone, true))
        sent += sendTo(*peer, bytes) ? 1 : 0;
    return sent;
}

int SessionServer::send(const std::string& phone, const std::string& bytes, bool framed)
{
    const std::string data = framed ? frame(bytes) : bytes;
    int sent = 0;
    for (const auto& peer : peersOf(phone, false))
        sent += sendTo(*peer, data) ? 1 : 0;
    return sent;
}

int SessionServer::displace(const std::string& phone)
{
    int sent = 0;
    for (const auto& peer : peersOf(phone, true)) {
        Json::Value notice(Json::objectValue);
        notice["CommandType"] = 3;
        notice["Date"] = now();
        notice["LoginResult"] = false;
        notice["Operation"] = 3;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            notice["LoginId"] = peer->loginId;
            notice["SessionId"] = peer->sessionId;
            peer->loggedIn = false;
        }
        sent += sendTo(*peer, frame(compact(notice))) ? 1 : 0;
    }
    return sent;
}

void SessionServer::refuseNextLogins(int count)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_refuseNext = count < 0 ? 0 : count;
}

void SessionServer::setRefuseWhenOnline(bool refuse)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_refuseWhenOnline = refuse;
}

void SessionServer::appendToNextLoginAnswer(std::vector<std::string> payloads)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_appendToLogin = std::move(payloads);
}

void SessionServer::setStall(bool stall)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stall = stall;
}

void SessionServer::changeUpdateAnswer(const Json::Value& changes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (changes.get("reset", false).asBool()) {
        m_updateAnswer = defaultUpdateAnswer();
        m_rawUpdateAnswer.clear();
    }
    for (const std::string& name : changes.getMemberNames()) {
        if (name == "reset")
            continue;
        if (name == "raw")
            m_rawUpdateAnswer = changes[name].asString();
        else
            m_updateAnswer[name] = changes[name];
    }
}

int SessionServer::dropAll()
{
    std::vector<std::shared_ptr<Peer>> peers;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& [id, peer] : m_peers)
            peers.push_back(peer);
    }
    for (const auto& peer : peers) {
        std::lock_guard<std::mutex> lock(peer->sendMutex);
        peer->dropped = true;
        if (peer->fd >= 0)
            ::shutdown(peer->fd, SHUT_RDWR);
    }
    // The reader threads close the sockets; the state answers without them once they are gone.
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, std::chrono::seconds(2), [&] {
        for (const auto& peer : peers) {
            if (m_peers.count(peer->id))
                return false;
        }
        return true;
    });
    if (!peers.empty())
        m_log.line("session dropped " + std::to_string(peers.size()) + " connection(s)");
    return static_cast<int>(peers.size());
}

Json::Value SessionServer::state() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Json::Value state(Json::objectValue);
    state["port"] = m_port;
    state["listening"] = m_listenFd >= 0;
    state["stall"] = m_stall;
    state["refuseNext"] = m_refuseNext;
    state["refuseWhenOnline"] = m_refuseWhenOnline;
    state["commandCount"] = Json::UInt64(m_nextSeq - 1);
    state["updateAnswer"] = m_rawUpdateAnswer.empty() ? m_updateAnswer : Json::Value(m_rawUpdateAnswer);
    Json::Value sessions(Json::arrayValue);
    for (const auto& [id, peer] : m_peers) {
        Json::Value session(Json::objectValue);
        session["connection"] = id;
        session["loginId"] = peer->loginId;
        session["sessionId"] = peer->sessionId;
        session["loggedIn"] = peer->loggedIn;
        sessions.append(session);
    }
    state["sessions"] = sessions;
    return state;
}

Json::Value SessionServer::commands(std::uint64_t since) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Json::Value list(Json::arrayValue);
    for (const Json::Value& entry : m_history) {
        if (entry["seq"].asUInt64() > since)
            list.append(entry);
    }
    return list;
}

} // namespace devservice
