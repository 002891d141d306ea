#pragma once

#include <json/value.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace devservice {

class DevLog;

// The dev service's session port: length-prefixed JSON commands over TCP, as the vendor's
// service speaks them.
//  - UpdateCheck (2): answered with the update answer (settable).
//  - LoginSession (3): a first login (Operation 1) is accepted, or refused as "online
//    elsewhere" when the account has another logged-in connection or a refusal was asked
//    for; a forced login (2) takes the account over and sends Operation 3 to every other
//    connection of it; a reconnect login (4) is accepted.
//  - PushMessages (4) are sent on request.
// Each received command is logged, one line each, and kept in a short history for tests.
// Every connection has its own reader thread; all public functions are thread-safe.
class SessionServer
{
public:
    explicit SessionServer(DevLog& log);
    ~SessionServer();
    SessionServer(const SessionServer&) = delete;
    SessionServer& operator=(const SessionServer&) = delete;

    // Binds (port 0 picks a free one) and starts accepting; false with error when it cannot bind.
    bool start(const std::string& bindAddress, int port, std::string* error);
    void stop();
    int port() const { return m_port; }

    // Closes or reopens the listening socket (same port); established sessions stay.
    bool setListening(bool open);
    bool listening() const;

    // Sends a PushMessages command with these messages (missing members get defaults) to the
    // logged-in connections of phone, or of everyone when phone is empty. Returns how many
    // connections it was sent to.
    int push(const std::string& phone, const Json::Value& messages);
    // Sends one frame with this payload, or these bytes as they are when framed is false, to
    // the connections of phone (every connection when phone is empty).
    int send(const std::string& phone, const std::string& bytes, bool framed);
    // Sends Operation 3 to every logged-in connection of phone and logs them out.
    int displace(const std::string& phone);
    // The next count first logins are refused as "online elsewhere".
    void refuseNextLogins(int count);
    // Whether a first login is refused while its account has another logged-in connection.
    void setRefuseWhenOnline(bool refuse);
    // Payloads sent in the same write as the next login answer, right after it.
    void appendToNextLoginAnswer(std::vector<std::string> payloads);
    // While stalled, connections are accepted and read but nothing is answered.
    void setStall(bool stall);
    // Changes members of the update answer; "raw" (a text) replaces the whole answer payload
    // verbatim, "reset" true restores the defaults first.
    void changeUpdateAnswer(const Json::Value& changes);
    // Closes every connection; returns how many there were.
    int dropAll();

    // {"port","listening","stall","refuseNext","refuseWhenOnline","sessions":[...],"commandCount"}
    Json::Value state() const;
    // Received commands with a sequence number above since:
    // [{"seq","connection","commandType","operation","loginId","payload"}]
    Json::Value commands(std::uint64_t since) const;

private:
    struct Peer;

    void acceptLoop();
    void readLoop(const std::shared_ptr<Peer>& peer);
    void handle(const std::shared_ptr<Peer>& peer, const std::string& payload);
    void handleLogin(const std::shared_ptr<Peer>& peer, const Json::Value& command);
    bool sendTo(Peer& peer, const std::string& bytes);
    std::vector<std::shared_ptr<Peer>> peersOf(const std::string& phone, bool loggedInOnly) const;
    int openListener(int port, std::string* error);
    void reapFinished();
    Json::Value defaultUpdateAnswer() const;

    DevLog& m_log;
    std::string m_bindAddress;
    int m_port = 0;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_listenFd = -1;
    bool m_wantListening = true;
    bool m_stopping = false;
    int m_wakeFd = -1;
    std::thread m_acceptThread;

    std::map<int, std::shared_ptr<Peer>> m_peers;
    std::vector<std::thread> m_finished;
    int m_nextPeerId = 1;
    int m_nextSessionId = 1;
    int m_nextMessageId = 1;

    bool m_stall = false;
    int m_refuseNext = 0;
    bool m_refuseWhenOnline = true;
    std::vector<std::string> m_appendToLogin;
    Json::Value m_updateAnswer;
    std::string m_rawUpdateAnswer;

    std::deque<Json::Value> m_history;
    std::uint64_t m_nextSeq = 1;
};

} // namespace devservice
