#include "platform/MessageMap.h"

#include <QThread>

namespace platform {

MessageMap::MessageMap(QObject* parent)
    : QObject(parent)
{
}

void MessageMap::on(int id, Handler handler)
{
    m_handlers[id] = std::move(handler);
}

bool MessageMap::handles(int id) const
{
    return m_handlers.count(id) != 0;
}

void MessageMap::post(int id, quintptr wParam, const QVariant& lParam)
{
    QMetaObject::invokeMethod(
        this, [this, id, wParam, lParam] { dispatch(id, wParam, lParam); }, Qt::QueuedConnection);
}

qintptr MessageMap::send(int id, quintptr wParam, const QVariant& lParam)
{
    if (QThread::currentThread() == thread())
        return dispatch(id, wParam, lParam);
    qintptr result = 0;
    QMetaObject::invokeMethod(
        this, [this, id, wParam, lParam] { return dispatch(id, wParam, lParam); }, Qt::BlockingQueuedConnection,
        &result);
    return result;
}

qintptr MessageMap::dispatch(int id, quintptr wParam, const QVariant& lParam)
{
    const auto it = m_handlers.find(id);
    if (it == m_handlers.end())
        return 0;
    return it->second(wParam, lParam);
}

} // namespace platform
