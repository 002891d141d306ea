#include "platform/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

namespace platform {

namespace {
const QByteArray kShowRequest = QByteArrayLiteral("show\n");
}

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent)
    , m_name(name)
{
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire()
{
    m_lock = std::make_unique<QLockFile>(QDir(QDir::tempPath()).filePath(m_name + QStringLiteral(".lock")));
    m_lock->setStaleLockTime(0); // only a dead holder's lock is stale
    if (!m_lock->tryLock(0)) {
        m_lock.reset();
        return false;
    }
    // We hold the name, so a socket left behind by a crashed holder can go.
    QLocalServer::removeServer(m_name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                const QByteArray data = socket->readAll();
                if (data.contains(kShowRequest.trimmed()))
                    emit showRequested();
                socket->write("ok\n");
                socket->flush();
            });
        }
    });
    m_server->listen(m_name);
    return true;
}

bool SingleInstance::requestShow(int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kShowRequest);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    socket.waitForReadyRead(timeoutMs);
    return true;
}

} // namespace platform
