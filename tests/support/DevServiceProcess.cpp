#include "tests/support/DevServiceProcess.h"

#include "tests/support/StagedPrograms.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

namespace testsupport {

DevServiceProcess::DevServiceProcess(StagedPrograms& staged, const QStringList& extraArguments)
    : m_logPath(staged.dir() + QStringLiteral("/../devservice.log"))
{
    m_process.setProcessEnvironment(staged.environment());
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(staged.file(QStringLiteral("kavren-devservice")),
                    QStringList{QStringLiteral("--http-port"), QStringLiteral("0"), QStringLiteral("--session-port"),
                                QStringLiteral("0"), QStringLiteral("--log"), m_logPath}
                        + extraArguments);
    if (!m_process.waitForStarted(10000))
        return;
    // "kavren-devservice ready http=N session=M"
    static const QRegularExpression ready(QStringLiteral("ready http=(\\d+) session=(\\d+)"));
    QElapsedTimer timer;
    timer.start();
    QByteArray out;
    while (timer.elapsed() < 15000 && m_process.state() == QProcess::Running) {
        m_process.waitForReadyRead(200);
        out += m_process.readAllStandardOutput();
        const auto match = ready.match(QString::fromUtf8(out));
        if (match.hasMatch()) {
            m_httpPort = match.captured(1).toInt();
            m_sessionPort = match.captured(2).toInt();
            break;
        }
    }
    // Keep draining its output so it never blocks on a full pipe.
    m_process.setReadChannel(QProcess::StandardOutput);
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] { m_process.readAllStandardOutput(); });
}

DevServiceProcess::~DevServiceProcess()
{
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
}

QString DevServiceProcess::log() const
{
    QFile file(m_logPath);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString DevServiceProcess::waitForLog(const QStringList& texts, int timeoutMs) const
{
    QElapsedTimer timer;
    timer.start();
    do {
        const QStringList lines = log().split(QLatin1Char('\n'));
        for (const QString& line : lines) {
            bool all = true;
            for (const QString& t : texts)
                all = all && line.contains(t);
            if (all)
                return line;
        }
        QThread::msleep(50);
    } while (timer.elapsed() < timeoutMs);
    return {};
}

QByteArray DevServiceProcess::post(const QString& path, const QByteArray& json) const
{
    QProcess curl;
    curl.start(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-X"), QStringLiteral("POST"),
                                        QStringLiteral("-H"), QStringLiteral("Content-Type: application/json"),
                                        QStringLiteral("--data-binary"), QString::fromUtf8(json),
                                        baseUrl() + path.mid(path.startsWith(QLatin1Char('/')) ? 1 : 0)});
    curl.waitForFinished(15000);
    return curl.readAllStandardOutput();
}

void DevServiceProcess::configure(StagedPrograms& staged) const
{
    staged.environment().insert(QStringLiteral("KAVREN_BASE_URL"), baseUrl());
    staged.environment().insert(QStringLiteral("KAVREN_SESSION_PORT"), QString::number(m_sessionPort));
}

} // namespace testsupport
