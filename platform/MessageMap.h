#pragma once

#include <QObject>
#include <QVariant>

#include <functional>
#include <unordered_map>

namespace platform {

// A window's message map: handlers keyed by message id, reached from any thread.
//  - post() queues the message for the map's thread and returns at once;
//  - send() runs the handler on the map's thread and blocks the sender until it returned;
//    sent from the map's own thread it is a direct call.
// A sender must never hold something the map's thread waits for, or send() deadlocks.
class MessageMap : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<qintptr(quintptr wParam, const QVariant& lParam)>;

    explicit MessageMap(QObject* parent = nullptr);

    void on(int id, Handler handler);
    bool handles(int id) const;

    void post(int id, quintptr wParam = 0, const QVariant& lParam = {});
    qintptr send(int id, quintptr wParam = 0, const QVariant& lParam = {});

    // Runs the handler on the calling thread; 0 when the id has no handler.
    qintptr dispatch(int id, quintptr wParam, const QVariant& lParam);

private:
    std::unordered_map<int, Handler> m_handlers;
};

} // namespace platform
