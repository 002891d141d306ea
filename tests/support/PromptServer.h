#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// The test's side of KAVREN_PROMPT_SOCKET: real programs report every message box and question
// here as one JSON line and wait for the answer line. Plain POSIX sockets and a thread, so the
// test needs no event loop of its own.
class PromptServer
{
public:
    struct Prompt
    {
        int connection = -1;
        std::string json;    // the line as the program wrote it
        bool has(const std::string& text) const { return json.find(text) != std::string::npos; }
    };

    explicit PromptServer(const std::string& socketPath);
    ~PromptServer();
    PromptServer(const PromptServer&) = delete;
    PromptServer& operator=(const PromptServer&) = delete;

    const std::string& path() const { return m_path; }
    // The next prompt not yet taken, waiting at most timeoutMs.
    std::optional<Prompt> next(int timeoutMs);
    void answer(const Prompt& prompt, const std::string& reply);
    // Every prompt seen so far (taken or not).
    std::vector<std::string> all();

private:
    void acceptLoop();
    void readLoop(int fd);

    std::string m_path;
    int m_listener = -1;
    bool m_stopping = false;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<Prompt> m_pending;
    std::vector<std::string> m_all;
    std::vector<int> m_connections;
    std::vector<std::thread> m_threads;
    std::thread m_acceptThread;
};

} // namespace testsupport
