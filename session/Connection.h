#pragma once

#include "session/FrameReader.h"

#include <QByteArray>
#include <QString>

#include <atomic>

namespace session {

// One TCP connection to the session endpoint: its own socket, its own receive buffer and its
// own wake-up descriptor. A fresh object is a fresh socket; nothing here is ever reused for a
// second connection, so a thread that still holds an old connection can never touch a newer
// one. The socket is closed only when the object goes.
//
// The socket blocks for sending; connecting and reading wait in poll() together with the
// wake-up descriptor, so cancel() from any thread ends a pending connect or read at once. It
// also shuts the socket down, which ends a blocked send. Sends never raise SIGPIPE.
class Connection
{
public:
    enum class ConnectResult { Connected, Failed, TimedOut, Cancelled };
    enum class ReceiveStatus {
        Command, // a whole frame was read
        Closed, // the peer closed the connection between frames
        Truncated, // the peer closed the connection in the middle of a frame
        Error, // the socket reported an error
        TimedOut, // no whole frame within the time limit
        ProtocolError, // an impossible length field: the connection cannot go on
        Cancelled // cancel() was called
    };

    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // False when the socket could not be created.
    bool valid() const { return m_fd >= 0 && m_wakeFd >= 0; }

    // Connects to a dotted IPv4 address; timeoutMs < 0 waits as long as the system lets a
    // connect take. A refused connect is reported at once as Failed.
    ConnectResult connectTo(const QString& ipv4Address, quint16 port, int timeoutMs);

    // Limits every send and receive call (SO_SNDTIMEO, SO_RCVTIMEO); false when refused.
    bool setIoTimeouts(int timeoutMs);

    // Frames the command text and sends the whole frame. False when the text does not fit in
    // a frame, or the socket fails, times out or was cancelled.
    bool sendCommand(const QByteArray& commandText);
    bool sendBytes(const QByteArray& bytes);

    // Reads until one whole frame is buffered and takes its payload out. Frames that arrived
    // with it stay buffered for the next call. timeoutMs < 0 waits without limit. For a
    // Command, frameBytes (if given) receives the frame's size.
    ReceiveStatus receive(QByteArray* payload, int timeoutMs, int* frameBytes = nullptr);

    // One command as the one-shot readers count it: the frame's size for a command, 0 when the
    // peer closed the connection between frames, -1 for every failure (an error, a time-out, a
    // frame cut short, an impossible length, a cancel).
    int receiveCommand(QByteArray* payload, int timeoutMs);

    // Thread-safe: ends a pending connect, receive or send now and every later one at once.
    void cancel();
    bool cancelled() const { return m_cancelled.load(); }

    // The receive buffer (the bytes read but not yet taken out as commands).
    const FrameReader& buffer() const { return m_reader; }

private:
    int pollFor(short events, int timeoutMs, bool* woken);

    int m_fd = -1;
    int m_wakeFd = -1;
    std::atomic<bool> m_cancelled { false };
    FrameReader m_reader;
};

} // namespace session
