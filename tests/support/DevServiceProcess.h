#pragma once

#include <QProcess>
#include <QString>

namespace testsupport {

class StagedPrograms;

// The staged kavren-devservice on free loopback ports, with its log in a file the test reads.
class DevServiceProcess
{
public:
    explicit DevServiceProcess(StagedPrograms& staged, const QStringList& extraArguments = {});
    ~DevServiceProcess();

    bool ok() const { return m_httpPort > 0 && m_sessionPort > 0; }
    int httpPort() const { return m_httpPort; }
    int sessionPort() const { return m_sessionPort; }
    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_httpPort); }
    QString logPath() const { return m_logPath; }
    QString log() const;
    // Waits until the log has a line containing every text; returns it or an empty text.
    QString waitForLog(const QStringList& texts, int timeoutMs) const;
    // POSTs a JSON body to the control API; returns the answer body.
    QByteArray post(const QString& path, const QByteArray& json) const;
    // Points the shell of the staged folder at this service.
    void configure(StagedPrograms& staged) const;

private:
    QProcess m_process;
    QString m_logPath;
    int m_httpPort = 0;
    int m_sessionPort = 0;
};

} // namespace testsupport
