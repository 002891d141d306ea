#pragma once

#include <QtGlobal>

#include <string>
#include <vector>

namespace testsupport {

// A listening socket on a free loopback port that the test drives by hand.
class BareListener
{
public:
    explicit BareListener(int backlog = 16);
    ~BareListener();
    quint16 port() const { return m_port; }
    int fd() const { return m_fd; }
    // Accepts one connection (waits at most timeoutMs); -1 when none came.
    int acceptOne(int timeoutMs = 2000);
    // Fills the accept queue with connections that are never accepted, so that a further
    // connect hangs. Returns false when the queue did not fill.
    bool fillBacklog();
    // Closes the connections that fillBacklog() made, so their retried handshakes stop competing.
    void releaseFillers();
    // Reads whatever arrives on fd within timeoutMs.
    static std::string readSome(int fd, int timeoutMs);

private:
    int m_fd = -1;
    quint16 m_port = 0;
    std::vector<int> m_fillers;
    std::vector<int> m_accepted;
};

// A port on loopback where nothing listens.
quint16 closedPort();

} // namespace testsupport
