#include "tests/support/StagedPrograms.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <sys/types.h>

namespace testsupport {

namespace {

bool copyTree(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        if (it.fileInfo().isDir()) {
            QDir().mkpath(target);
        } else if (!QFile::copy(source, target)) {
            return false;
        }
    }
    return true;
}

} // namespace

StagedPrograms::StagedPrograms()
{
    if (!m_root.isValid())
        return;
    m_ok = copyTree(QStringLiteral(KAVREN_STAGE_DIR), dir());
    QDir(m_root.path()).mkpath(QStringLiteral("tmp"));
    QDir(m_root.path()).mkpath(QStringLiteral("home"));
    m_prompts = std::make_unique<PromptServer>(m_root.filePath(QStringLiteral("prompts.sock")).toStdString());
    m_trace = std::make_unique<TraceFile>(m_root.filePath(QStringLiteral("trace.log")).toStdString());

    m_env = QProcessEnvironment::systemEnvironment();
    m_env.insert(QStringLiteral("TMPDIR"), m_root.filePath(QStringLiteral("tmp")));
    m_env.insert(QStringLiteral("HOME"), m_root.filePath(QStringLiteral("home")));
    m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_root.filePath(QStringLiteral("home/.config")));
    QDir(m_root.path()).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(m_root.filePath(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_root.filePath(QStringLiteral("runtime")));
    m_env.insert(QStringLiteral("KAVREN_TRACE_FILE"), QString::fromStdString(m_trace->path()));
    m_env.insert(QStringLiteral("KAVREN_PROMPT_SOCKET"), QString::fromStdString(m_prompts->path()));
    m_env.insert(QStringLiteral("KAVREN_NO_DESKTOP_OPEN"), QStringLiteral("1"));
    m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    m_env.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"), QStringLiteral("--disable-gpu"));
}

StagedPrograms::~StagedPrograms()
{
    killAll();
}

QString StagedPrograms::dir() const
{
    return m_root.filePath(QStringLiteral("app"));
}

QString StagedPrograms::file(const QString& name) const
{
    return dir() + QLatin1Char('/') + name;
}

QProcess* StagedPrograms::start(const QString& program, const QStringList& arguments)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(m_env);
    process->setWorkingDirectory(dir());
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(file(program), arguments);
    process->waitForStarted(10000);
    m_processes.push_back(std::move(process));
    return m_processes.back().get();
}

void StagedPrograms::killAll()
{
    const QString prefix = QFileInfo(dir()).canonicalFilePath() + QLatin1Char('/');
    for (int pass = 0; pass < 3; ++pass) {
        const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString& entry : entries) {
            bool isPid = false;
            const qint64 pid = entry.toLongLong(&isPid);
            if (!isPid)
                continue;
            const QString exe = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
            if (!prefix.isEmpty() && exe.startsWith(prefix))
                ::kill(static_cast<pid_t>(pid), SIGKILL);
        }
    }
    for (auto& p : m_processes) {
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(5000);
        }
    }
}

} // namespace testsupport
