#pragma once

#include "tests/support/PromptServer.h"
#include "tests/support/TraceFile.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace testsupport {

// A private copy of the installed program folder for one test, with its own TMPDIR and HOME
// (the programs' single-instance names live there), an event trace and a prompt answerer.
// Every process started through it is killed when the object goes.
class StagedPrograms
{
public:
    StagedPrograms();
    ~StagedPrograms();

    bool ok() const { return m_ok; }
    QString dir() const;
    QString file(const QString& name) const;
    QProcessEnvironment& environment() { return m_env; }
    PromptServer& prompts() { return *m_prompts; }
    TraceFile& trace() { return *m_trace; }

    // Starts a program of the folder with its arguments.
    QProcess* start(const QString& program, const QStringList& arguments);
    // Kills every process whose executable lives in this folder (the ones started indirectly too).
    void killAll();

private:
    bool m_ok = false;
    QTemporaryDir m_root;
    QProcessEnvironment m_env;
    std::unique_ptr<PromptServer> m_prompts;
    std::unique_ptr<TraceFile> m_trace;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

} // namespace testsupport
