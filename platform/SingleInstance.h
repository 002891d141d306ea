#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

namespace platform {

// The programs' named mutex. The first process to acquire the name holds a lock file for its
// whole life (a crashed holder's lock is taken over) and listens on a local socket of the same
// name; a later process finds the lock held, connects and asks the holder to show itself.
// Both live in the temporary folder, so separate TMPDIRs are separate machines for this.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // true: this process now holds the name. false: another process does.
    bool acquire();
    // Second instance: asks the holder to show itself; false when nobody answered.
    bool requestShow(int timeoutMs = 2000);

signals:
    void showRequested();

private:
    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

} // namespace platform
