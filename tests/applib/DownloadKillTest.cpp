// The engine in a process of its own: killed with SIGKILL at random moments it resumes where
// its file says, again and again, and ends with the right bytes (the trailer is rewritten
// after every block); a write that fails part-way still leaves a file that resumes.
#include "tests/applib/FileService.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <thread>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using testsupport::FileService;

pid_t startProbe(const std::string& url, const std::string& path)
{
    std::vector<std::string> args { KAVREN_DOWNLOAD_PROBE, url, path, "3.0.1" };
    std::vector<char*> argv;
    for (auto& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    return pid;
}

TEST(DownloadKill, ResumesAfterEveryKillAndEndsWithTheRightBytes)
{
    FileService service;
    ASSERT_TRUE(service.ok());
    const std::string content = service.makeFile("big.bin", 24 * 1024 * 1024);
    // About 1 MiB a second, so that twenty kills end well before the file does.
    ASSERT_TRUE(service.setRule(R"({"path":"/files/big.bin","throttle":1048576})"));
    const std::string url = service.url("big.bin").toStdString();
    const QString local = service.localPath("big.bin");

    const unsigned seed = std::random_device()();
    SCOPED_TRACE("kill moments seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> moment(150, 900);
    for (int kill = 0; kill < 20; ++kill) {
        const pid_t pid = startProbe(url, local.toStdString());
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(moment(random)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status)) << "the probe ended on its own before kill " << kill;
    }

    // Full speed for the rest.
    service.clearRules();
    const pid_t last = startProbe(url, local.toStdString());
    ASSERT_GT(last, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(last, &status, 0), last);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2); // Completed

    const std::vector<std::string> ranges = service.ranges("big.bin");
    ASSERT_EQ(ranges.size(), 21u);
    EXPECT_EQ(ranges.front(), "bytes=0-");
    // Once a block has reached the file, every later call resumes. (A kill that lands between
    // writing a block and its trailer costs a restart from 0, never a wrong offset.)
    int resumed = 0;
    for (const auto& range : ranges) {
        const long long offset = std::stoll(range.substr(6));
        EXPECT_LT(offset, static_cast<long long>(content.size())) << range;
        if (offset > 0)
            ++resumed;
    }
    std::printf("%d of %zu calls resumed after a kill\n", resumed, ranges.size());
    EXPECT_GE(resumed, 10) << "too few calls resumed after a kill";
    EXPECT_TRUE(FileService::readFile(local) == content) << "the final file differs from the served one";
}

// The probe with a file size limit: writes past `limit` bytes fail as on a full disk. Its
// report line goes to `reportPath`.
pid_t startProbeWithFileLimit(const std::string& url, const std::string& path, rlim_t limit,
                              const std::string& reportPath)
{
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    const int report = ::open(reportPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(report, STDOUT_FILENO);
    std::signal(SIGXFSZ, SIG_IGN); // a failing write, not a signal
    const rlimit cap { limit, limit };
    ::setrlimit(RLIMIT_FSIZE, &cap);
    ::execl(KAVREN_DOWNLOAD_PROBE, KAVREN_DOWNLOAD_PROBE, url.c_str(), path.c_str(), "3.0.1",
            static_cast<char*>(nullptr));
    ::_exit(127);
}

int exitCodeOf(pid_t pid)
{
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

TEST(DownloadWriteFailure, LeavesAFileThatResumes)
{
    FileService service;
    ASSERT_TRUE(service.ok());
    const std::string content = service.makeFile("a.bin", 3 * 1024 * 1024);
    // Slow enough that blocks of about 200 KB reach the file before the limit is hit.
    ASSERT_TRUE(service.setRule(R"({"path":"/files/a.bin","throttle":1048576,"uses":1})"));
    const std::string url = service.url("a.bin").toStdString();
    const QString local = service.localPath("a.bin");

    const std::string reportPath = service.root() + "/report.txt";
    EXPECT_EQ(exitCodeOf(startProbeWithFileLimit(url, local.toStdString(), 700000, reportPath)), 1); // Failed
    const std::string partial = FileService::readFile(local);
    ASSERT_GT(partial.size(), 40u);
    const size_t payload = partial.size() - 40;
    EXPECT_GT(payload, 0u);
    // Result, lastError (a write error), received (what the file holds), total.
    EXPECT_EQ(FileService::readFile(QString::fromStdString(reportPath)),
              "1 23 " + std::to_string(payload) + " " + std::to_string(content.size()) + "\n");
    EXPECT_LE(partial.size(), 700000u);
    EXPECT_EQ(partial.substr(0, payload), content.substr(0, payload));
    EXPECT_EQ(partial.substr(payload, 19), std::string("MyFileDownLoadInfo", 19));

    const pid_t rest = startProbe(url, local.toStdString());
    ASSERT_GT(rest, 0);
    EXPECT_EQ(exitCodeOf(rest), 2); // Completed
    EXPECT_TRUE(FileService::readFile(local) == content);
    EXPECT_EQ(service.ranges("a.bin"),
              (std::vector<std::string> { "bytes=0-", "bytes=" + std::to_string(payload) + "-" }));
}

} // namespace
