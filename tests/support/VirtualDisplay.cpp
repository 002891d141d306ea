#include "tests/support/VirtualDisplay.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <unistd.h>

namespace testsupport {

namespace {

QString runTool(const QString& display, const QString& program, const QStringList& arguments, bool* ok)
{
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    tool.setProcessEnvironment(env);
    tool.start(program, arguments);
    const bool finished = tool.waitForFinished(20000);
    *ok = finished && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

} // namespace

VirtualDisplay::VirtualDisplay()
{
    // A display number of our own: the first free one from a pid-based start.
    for (int attempt = 0; attempt < 50; ++attempt) {
        const int number = 100 + (static_cast<int>(::getpid()) + attempt) % 800;
        if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number))
            || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
            continue;
        m_server = new QProcess;
        m_server->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server->start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(number), QStringLiteral("-screen"),
                                                 QStringLiteral("0"), QStringLiteral("1400x900x24"),
                                                 QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 10000 && m_server->state() != QProcess::NotRunning
               && !QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)))
            QThread::msleep(50);
        if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number))) {
            m_name = QStringLiteral(":%1").arg(number);
            return;
        }
        m_server->kill();
        m_server->waitForFinished(3000);
        delete m_server;
        m_server = nullptr;
    }
}

VirtualDisplay::~VirtualDisplay()
{
    if (m_server) {
        m_server->terminate();
        if (!m_server->waitForFinished(5000))
            m_server->kill();
        delete m_server;
    }
}

QString VirtualDisplay::waitForWindow(const QString& title, int timeoutMs) const
{
    QElapsedTimer timer;
    timer.start();
    do {
        bool ok = false;
        const QString ids = runTool(m_name, QStringLiteral("xdotool"),
                                    {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), title},
                                    &ok);
        if (ok && !ids.isEmpty())
            return ids.split(QLatin1Char('\n')).first();
        QThread::msleep(200);
    } while (timer.elapsed() < timeoutMs);
    return {};
}

bool VirtualDisplay::xdotool(const QStringList& arguments) const
{
    bool ok = false;
    runTool(m_name, QStringLiteral("xdotool"), arguments, &ok);
    return ok;
}

bool VirtualDisplay::clickAndType(const QString& window, int x, int y, const QString& text) const
{
    return xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(x),
                    QString::number(y), QStringLiteral("click"), QStringLiteral("1")})
        && xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), text});
}

bool VirtualDisplay::key(const QString& window, const QString& keyName) const
{
    return xdotool({QStringLiteral("key"), QStringLiteral("--window"), window, keyName});
}

bool VirtualDisplay::screenshot(const QString& window, const QString& pngPath) const
{
    bool ok = false;
    runTool(m_name, QStringLiteral("import"), {QStringLiteral("-window"), window, pngPath}, &ok);
    return ok;
}

} // namespace testsupport
