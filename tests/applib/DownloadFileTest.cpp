// The download engine against the dev service on loopback: what it asks for (read back from
// the service's log), what it leaves on disk, and what it reports.
#include "applib/DownloadFile.h"
#include "applib/DownloadTrailer.h"
#include "tests/applib/FileService.h"
#include "tests/support/LoopbackListener.h"

#include <httplib.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using applib::AsyncDownload;
using applib::DownloadResult;
using applib::DownloadTrailer;
using testsupport::FileService;
using Clock = std::chrono::steady_clock;

// The two forms of the engine, and the shell form with the keys that matter.
enum class Form { ShellKey, ShellEmptyKey, ShellLongKey, Updater };

QString keyOf(Form form)
{
    switch (form) {
    case Form::ShellKey:
        return QStringLiteral("2.1.0");
    case Form::ShellLongKey:
        return QStringLiteral("2.1.0.1234"); // 10 bytes: one too many for the trailer
    default:
        return {};
    }
}

DownloadTrailer trailerOf(Form form)
{
    return form == Form::Updater ? DownloadTrailer::updater() : DownloadTrailer::shell(keyOf(form));
}

DownloadResult fetch(AsyncDownload& download, Form form, const QString& url, const QString& path,
                     const applib::StaleFileHook& onStaleFile = {})
{
    if (form == Form::Updater)
        return applib::DownloadFile(download, url, path, onStaleFile);
    return applib::DownloadFile(download, url, path, keyOf(form));
}

std::string trailerBytes(const DownloadTrailer& trailer, qint64 received)
{
    const QByteArray bytes = trailer.bytes(received);
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Runs `step` every few milliseconds on its own thread until it returns true or the watcher
// goes: the monitor and the cancelling thread of the callers.
class Watcher
{
public:
    explicit Watcher(std::function<bool()> step)
        : m_thread([this, step] {
            while (!m_stop.load() && !step())
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        })
    {
    }
    ~Watcher()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_stop { false };
    std::thread m_thread;
};

class DownloadTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_service.ok()); }

    FileService m_service;
    AsyncDownload m_download;
};

// --- Every form: a fresh download, a cut connection, a cancel -------------------------------

struct FormCase
{
    const char* name;
    Form form;
};

class DownloadForms : public DownloadTest, public ::testing::WithParamInterface<FormCase>
{
};

TEST_P(DownloadForms, FreshDownloadAsksFromZeroAndCompletes)
{
    const std::string content = m_service.makeFile("a.bin", 3 * 1024 * 1024 + 17);
    const QString local = m_service.localPath("a.bin");

    EXPECT_EQ(fetch(m_download, GetParam().form, m_service.url("a.bin"), local), DownloadResult::Completed);
    EXPECT_EQ(FileService::readFile(local), content); // exactly the payload, no trailer
    EXPECT_EQ(m_download.received.load(), static_cast<qint64>(content.size()));
    EXPECT_EQ(m_download.total.load(), static_cast<qint64>(content.size()));
    EXPECT_TRUE(m_download.finished.load());
    EXPECT_EQ(m_download.lastError.load(), 0);
    EXPECT_EQ(m_service.ranges("a.bin"), std::vector<std::string> { "bytes=0-" });
}

TEST_P(DownloadForms, CutConnectionResumesExactlyAtTheCut)
{
    const Form form = GetParam().form;
    const DownloadTrailer trailer = trailerOf(form);
    const std::string content = m_service.makeFile("a.bin", 1000000);
    const QString local = m_service.localPath("a.bin");
    ASSERT_TRUE(m_service.setRule(R"({"path":"/files/a.bin","dropAfter":300000,"uses":1})"));

    EXPECT_EQ(fetch(m_download, form, m_service.url("a.bin"), local), DownloadResult::Failed);
    EXPECT_EQ(m_download.lastError.load(), CURLE_PARTIAL_FILE);
    const std::string partial = FileService::readFile(local);
    if (trailer.canResume()) {
        EXPECT_EQ(partial, content.substr(0, 300000) + trailerBytes(trailer, 300000));
    } else {
        EXPECT_EQ(partial, content.substr(0, 300000)); // a key that does not fit leaves no trailer
    }

    EXPECT_EQ(fetch(m_download, form, m_service.url("a.bin"), local), DownloadResult::Completed);
    EXPECT_EQ(FileService::readFile(local), content);
    const std::vector<std::string> expected { "bytes=0-", trailer.canResume() ? "bytes=300000-" : "bytes=0-" };
    EXPECT_EQ(m_service.ranges("a.bin"), expected);
}

TEST_P(DownloadForms, CancelWhileReadingStopsWithTrailer)
{
    const Form form = GetParam().form;
    const DownloadTrailer trailer = trailerOf(form);
    const std::string content = m_service.makeFile("a.bin", 2 * 1024 * 1024);
    const QString local = m_service.localPath("a.bin");
    ASSERT_TRUE(m_service.setRule(R"({"path":"/files/a.bin","throttle":262144,"uses":1})"));

    Clock::time_point cancelledAt;
    DownloadResult result;
    {
        // Another thread watches the counters and cancels part-way, as the callers' monitors do.
        Watcher canceller([&] {
            if (m_download.received.load() < 200000)
                return false;
            cancelledAt = Clock::now();
            m_download.cancelRequested = true;
            return true;
        });
        result = fetch(m_download, form, m_service.url("a.bin"), local);
    }
    EXPECT_EQ(result, DownloadResult::Stopped);
    EXPECT_EQ(m_download.lastError.load(), -1);
    EXPECT_LT(secondsSince(cancelledAt), 1.0);
    EXPECT_EQ(m_download.total.load(), static_cast<qint64>(content.size()));

    const std::string partial = FileService::readFile(local);
    const qint64 payload = m_download.received.load();
    EXPECT_GE(payload, 200000);
    if (trailer.canResume()) {
        ASSERT_EQ(static_cast<qint64>(partial.size()), payload + trailer.size());
        EXPECT_EQ(partial, content.substr(0, static_cast<size_t>(payload)) + trailerBytes(trailer, payload));
    } else {
        EXPECT_EQ(partial, content.substr(0, static_cast<size_t>(payload)));
    }

    // The owner clears the flag; the next call resumes where the cancel left the file.
    m_download.cancelRequested = false;
    EXPECT_EQ(fetch(m_download, form, m_service.url("a.bin"), local), DownloadResult::Completed);
    EXPECT_EQ(FileService::readFile(local), content);
    const std::string resumedAt = trailer.canResume() ? "bytes=" + std::to_string(payload) + "-" : "bytes=0-";
    EXPECT_EQ(m_service.ranges("a.bin"), (std::vector<std::string> { "bytes=0-", resumedAt }));
}

INSTANTIATE_TEST_SUITE_P(Table, DownloadForms,
                         ::testing::Values(FormCase { "shellWithKey", Form::ShellKey },
                                           FormCase { "shellEmptyKey", Form::ShellEmptyKey },
                                           FormCase { "shellKeyTooLong", Form::ShellLongKey },
                                           FormCase { "updater", Form::Updater }),
                         [](const ::testing::TestParamInfo<FormCase>& row) { return std::string(row.param.name); });

// --- Resume or restart: what the local file holds before the call -------------------------

struct ResumeCase
{
    const char* name;
    Form form;
    // Builds the local file from the remote content.
    std::function<std::string(const std::string& content)> local;
    const char* expectedRange;
};

std::string garbage(size_t size)
{
    return testsupport::randomBytes(static_cast<std::int64_t>(size), 99);
}

class ResumeDecision : public DownloadTest, public ::testing::WithParamInterface<ResumeCase>
{
};

TEST_P(ResumeDecision, ResumesOnlyAMatchingTrailer)
{
    const ResumeCase& c = GetParam();
    const std::string content = m_service.makeFile("a.bin", 50000);
    const QString local = m_service.localPath("a.bin");
    FileService::writeFile(local, c.local(content));

    EXPECT_EQ(fetch(m_download, c.form, m_service.url("a.bin"), local), DownloadResult::Completed);
    // A wrong resume would leave stale bytes (or a doubled length) in the file.
    EXPECT_EQ(FileService::readFile(local), content);
    EXPECT_EQ(m_service.ranges("a.bin"), std::vector<std::string> { c.expectedRange });
    EXPECT_EQ(m_download.received.load(), 50000);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ResumeDecision,
    ::testing::Values(
        ResumeCase { "matchingKeyResumes", Form::ShellKey,
                     [](const std::string& c) {
                         return c.substr(0, 1000) + trailerBytes(DownloadTrailer::shell(QStringLiteral("2.1.0")), 1000);
                     },
                     "bytes=1000-" },
        ResumeCase { "wrongKeyRestarts", Form::ShellKey,
                     [](const std::string&) {
                         return garbage(1000) + trailerBytes(DownloadTrailer::shell(QStringLiteral("2.0.9")), 1000);
                     },
                     "bytes=0-" },
        ResumeCase { "longerKeyRestarts", Form::ShellKey,
                     [](const std::string&) {
                         return garbage(1000) + trailerBytes(DownloadTrailer::shell(QStringLiteral("2.1.0.1")), 1000);
                     },
                     "bytes=0-" },
        ResumeCase { "emptyKeyResumesEmptyKey", Form::ShellEmptyKey,
                     [](const std::string& c) {
                         return c.substr(0, 777) + trailerBytes(DownloadTrailer::shell(QString()), 777);
                     },
                     "bytes=777-" },
        ResumeCase { "shorterThanTrailerRestarts", Form::ShellKey, [](const std::string&) { return garbage(10); },
                     "bytes=0-" },
        ResumeCase { "noTrailerRestarts", Form::ShellKey, [](const std::string&) { return garbage(5000); },
                     "bytes=0-" },
        ResumeCase { "emptyFileStartsAtZero", Form::ShellKey, [](const std::string&) { return std::string(); },
                     "bytes=0-" },
        ResumeCase { "countInTrailerIsNotUsed", Form::ShellKey,
                     [](const std::string& c) {
                         return c.substr(0, 1000) + trailerBytes(DownloadTrailer::shell(QStringLiteral("2.1.0")), 5);
                     },
                     "bytes=1000-" },
        ResumeCase {
            "updaterTrailerResumes", Form::Updater,
            [](const std::string& c) { return c.substr(0, 4096) + trailerBytes(DownloadTrailer::updater(), 4096); },
            "bytes=4096-" },
        ResumeCase {
            "shellTrailerDoesNotResumeUpdater", Form::Updater,
            [](const std::string&) { return garbage(1000) + trailerBytes(DownloadTrailer::shell(QString()), 1000); },
            "bytes=0-" },
        ResumeCase { "updaterTrailerDoesNotResumeShell", Form::ShellEmptyKey,
                     [](const std::string&) { return garbage(1000) + trailerBytes(DownloadTrailer::updater(), 1000); },
                     "bytes=0-" },
        // The first nine bytes of the key do fit the trailer, but they could equally be another
        // version's: a key that does not fit never resumes.
        ResumeCase { "keyTooLongNeverResumes", Form::ShellLongKey,
                     [](const std::string&) {
                         return garbage(1000) + trailerBytes(DownloadTrailer::shell(QStringLiteral("2.1.0.123")), 1000);
                     },
                     "bytes=0-" },
        // An earlier call stopped after the last byte: the service answers 416 and the file is
        // complete once the trailer is cut off.
        ResumeCase { "wholePayloadWithTrailerCompletes", Form::ShellKey,
                     [](const std::string& c) {
                         return c + trailerBytes(DownloadTrailer::shell(QStringLiteral("2.1.0")), 50000);
                     },
                     "bytes=50000-" }),
    [](const ::testing::TestParamInfo<ResumeCase>& row) { return std::string(row.param.name); });

// --- Refusals: Stopped, and the local file as it was -----------------------------------------

struct RefusalCase
{
    const char* name;
    const char* rule; // nullptr: none
    bool sparseRemote; // the remote file is 3 GiB
    bool partialLocal; // the local file holds payload and trailer before the call
    int lastError;
};

class Refusal : public DownloadTest, public ::testing::WithParamInterface<RefusalCase>
{
};

TEST_P(Refusal, StopsAndLeavesTheFileAlone)
{
    const RefusalCase& c = GetParam();
    if (c.sparseRemote)
        m_service.makeSparseFile("a.bin", 3LL * 1024 * 1024 * 1024);
    else
        m_service.makeFile("a.bin", 20000);
    if (c.rule) {
        ASSERT_TRUE(m_service.setRule(c.rule));
    }
    const QString local = m_service.localPath("a.bin");
    const DownloadTrailer trailer = trailerOf(Form::ShellKey);
    std::string before;
    if (c.partialLocal) {
        before = garbage(1000) + trailerBytes(trailer, 1000);
        FileService::writeFile(local, before);
    }

    EXPECT_EQ(fetch(m_download, Form::ShellKey, m_service.url("a.bin"), local), DownloadResult::Stopped);
    EXPECT_EQ(m_download.lastError.load(), c.lastError);
    ASSERT_TRUE(FileService::exists(local));
    EXPECT_EQ(FileService::readFile(local), before); // empty from 0; untouched on resume
    EXPECT_EQ(m_service.ranges("a.bin").size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Refusal,
    ::testing::Values(RefusalCase { "notFoundFromZero", R"({"path":"/files/a.bin","status":404})", false, false, 404 },
                      RefusalCase { "notFoundOnResume", R"({"path":"/files/a.bin","status":404})", false, true, 404 },
                      RefusalCase { "serverErrorOnResume", R"({"path":"/files/a.bin","status":500})", false, true,
                                    500 },
                      RefusalCase { "over2GiBFromZero", nullptr, true, false, CURLE_FILESIZE_EXCEEDED },
                      RefusalCase { "over2GiBOnResume", nullptr, true, true, CURLE_FILESIZE_EXCEEDED }),
    [](const ::testing::TestParamInfo<RefusalCase>& row) { return std::string(row.param.name); });

// --- Time limits ------------------------------------------------------------------------------

TEST_F(DownloadTest, ReadStalledForSevenSecondsFailsWithTrailer)
{
    const std::string content = m_service.makeFile("a.bin", 1000000);
    const QString local = m_service.localPath("a.bin");
    const DownloadTrailer trailer = trailerOf(Form::ShellKey);
    ASSERT_TRUE(m_service.setRule(R"({"path":"/files/a.bin","stallAfter":300000,"stallSeconds":12,"uses":1})"));

    const auto start = Clock::now();
    EXPECT_EQ(fetch(m_download, Form::ShellKey, m_service.url("a.bin"), local), DownloadResult::Failed);
    const double took = secondsSince(start);
    EXPECT_GE(took, 6.9);
    EXPECT_LT(took, 9.5);
    EXPECT_EQ(m_download.lastError.load(), CURLE_OPERATION_TIMEDOUT);
    EXPECT_EQ(FileService::readFile(local), content.substr(0, 300000) + trailerBytes(trailer, 300000));

    EXPECT_EQ(fetch(m_download, Form::ShellKey, m_service.url("a.bin"), local), DownloadResult::Completed);
    EXPECT_EQ(FileService::readFile(local), content);
    EXPECT_EQ(m_service.ranges("a.bin"), (std::vector<std::string> { "bytes=0-", "bytes=300000-" }));
}

TEST_F(DownloadTest, AnswerHeadersLaterThanFiveSecondsFail)
{
    m_service.makeFile("a.bin", 1000);
    const QString local = m_service.localPath("a.bin");
    ASSERT_TRUE(m_service.setRule(R"({"path":"/files/a.bin","delayHeaders":6,"uses":1})"));

    const auto start = Clock::now();
    EXPECT_EQ(fetch(m_download, Form::ShellKey, m_service.url("a.bin"), local), DownloadResult::Failed);
    const double took = secondsSince(start);
    EXPECT_GE(took, 4.9);
    EXPECT_LT(took, 7.0);
    EXPECT_EQ(m_download.lastError.load(), CURLE_OPERATION_TIMEDOUT);
    EXPECT_EQ(FileService::readFile(local), ""); // reading never began: no trailer
}

TEST_F(DownloadTest, ConnectingLongerThanFiveSecondsFails)
{
    // A listening socket whose accept queue is full: the kernel drops further connection
    // attempts, so connecting hangs.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    socklen_t length = sizeof(address);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    std::vector<int> fillers;
    for (int i = 0; i < 2; ++i) {
        const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        fillers.push_back(filler);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

    const QString url = QStringLiteral("http://127.0.0.1:%1/files/a.bin").arg(ntohs(address.sin_port));
    const auto start = Clock::now();
    EXPECT_EQ(fetch(m_download, Form::ShellKey, url, m_service.localPath("a.bin")), DownloadResult::Failed);
    const double took = secondsSince(start);
    EXPECT_GE(took, 4.9);
    EXPECT_LT(took, 6.5);
    EXPECT_EQ(m_download.lastError.load(), CURLE_OPERATION_TIMEDOUT);
    for (const int fd : fillers)
        ::close(fd);
    ::close(listener);
}

TEST_F(DownloadTest, CancelDuringAStallTakesEffectWithinASecond)
{
    m_service.makeFile("a.bin", 1000000);
    const QString local = m_service.localPath("a.bin");
    ASSERT_TRUE(m_service.setRule(R"({"path":"/files/a.bin","stallAfter":100000,"stallSeconds":6,"uses":1})"));

    Clock::time_point cancelledAt;
    Clock::time_point stalledSince;
    DownloadResult result;
    {
        Watcher canceller([&] {
            if (m_download.received.load() < 100000)
                return false;
            if (stalledSince == Clock::time_point())
                stalledSince = Clock::now();
            if (secondsSince(stalledSince) < 1.5)
                return false;
            cancelledAt = Clock::now();
            m_download.cancelRequested = true;
            return true;
        });
        result = fetch(m_download, Form::ShellKey, m_service.url("a.bin"), local);
    }
    EXPECT_EQ(result, DownloadResult::Stopped);
    EXPECT_EQ(m_download.lastError.load(), -1);
    EXPECT_LT(secondsSince(cancelledAt), 1.1);
    EXPECT_EQ(FileService::readFile(local).size(), 100000u + DownloadTrailer::kShellSize);
}

TEST_F(DownloadTest, CancelBeforeTheCallStopsWithoutARequest)
{
    m_service.makeFile("a.bin", 1000);
    m_download.cancelRequested = true;
    EXPECT_EQ(fetch(m_download, Form::ShellKey, m_service.url("a.bin"), m_service.localPath("a.bin")),
              DownloadResult::Stopped);
    EXPECT_EQ(m_download.lastError.load(), -1);
    EXPECT_TRUE(m_service.ranges("a.bin").empty());
}

// --- Pause ------------------------------------------------------------------------------------

TEST_F(DownloadTest, PauseHoldsTheTransferUntilResumed)
{
    const std::string content = m_service.makeFile("a.bin", 1000000);
    const QString local = m_service.localPath("a.bin");
    ASSERT_TRUE(m_service.setRule(R"({"path":"/files/a.bin","throttle":524288})"));

    qint64 atPause = -1;
    qint64 afterPause = -1;
    DownloadResult result;
    {
        Watcher controller([&] {
            if (m_download.received.load() < 100000)
                return false;
            m_download.pause();
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            atPause = m_download.received.load();
            std::this_thread::sleep_for(std::chrono::milliseconds(1000));
            afterPause = m_download.received.load();
            m_download.resume();
            return true;
        });
        result = fetch(m_download, Form::ShellKey, m_service.url("a.bin"), local);
    }
    EXPECT_EQ(result, DownloadResult::Completed);
    EXPECT_EQ(atPause, afterPause);
    EXPECT_LT(atPause, 1000000);
    EXPECT_EQ(FileService::readFile(local), content);
}

TEST_F(DownloadTest, CancelEndsAPause)
{
    m_service.makeFile("a.bin", 1000000);
    ASSERT_TRUE(m_service.setRule(R"({"path":"/files/a.bin","throttle":524288})"));
    Clock::time_point cancelledAt;
    DownloadResult result;
    {
        Watcher controller([&] {
            if (m_download.received.load() < 100000)
                return false;
            m_download.pause();
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            cancelledAt = Clock::now();
            m_download.cancelRequested = true;
            return true;
        });
        result = fetch(m_download, Form::ShellKey, m_service.url("a.bin"), m_service.localPath("a.bin"));
    }
    EXPECT_EQ(result, DownloadResult::Stopped);
    EXPECT_EQ(m_download.lastError.load(), -1);
    EXPECT_LT(secondsSince(cancelledAt), 0.5);
}

// --- Answers without a size, servers that ignore the range, redirects -----------------------

struct SizeCase
{
    const char* name;
    const char* rule;
    qint64 total; // -1: the file's size
};

class MissingLength : public DownloadTest, public ::testing::WithParamInterface<SizeCase>
{
};

TEST_P(MissingLength, AsksOnceMoreForTheSize)
{
    const SizeCase& c = GetParam();
    const std::string content = m_service.makeFile("a.bin", 300000);
    const QString local = m_service.localPath("a.bin");
    ASSERT_TRUE(m_service.setRule(c.rule));

    EXPECT_EQ(fetch(m_download, Form::ShellKey, m_service.url("a.bin"), local), DownloadResult::Completed);
    EXPECT_EQ(FileService::readFile(local), content);
    EXPECT_EQ(m_download.total.load(), c.total < 0 ? static_cast<qint64>(content.size()) : c.total);
    // The download itself, then the plain request for the size.
    EXPECT_EQ(m_service.ranges("a.bin"), (std::vector<std::string> { "bytes=0-", "none" }));
}

INSTANTIATE_TEST_SUITE_P(Table, MissingLength,
                         ::testing::Values(SizeCase { "sizeRequestAnswers",
                                                      R"({"path":"/files/a.bin","noContentLengthForRange":true})", -1 },
                                           SizeCase { "sizeRequestHasNoneEither",
                                                      R"({"path":"/files/a.bin","noContentLength":true})", 0 }),
                         [](const ::testing::TestParamInfo<SizeCase>& row) { return std::string(row.param.name); });

TEST_F(DownloadTest, WholeFileAnswerToARangeRestartsFromZero)
{
    const std::string content = m_service.makeFile("a.bin", 200000);
    const QString local = m_service.localPath("a.bin");
    const DownloadTrailer trailer = trailerOf(Form::ShellKey);
    FileService::writeFile(local, content.substr(0, 1000) + trailerBytes(trailer, 1000));
    ASSERT_TRUE(m_service.setRule(R"({"path":"/files/a.bin","ignoreRange":true})"));

    EXPECT_EQ(fetch(m_download, Form::ShellKey, m_service.url("a.bin"), local), DownloadResult::Completed);
    // Written at the resume offset, the whole body would make the file 1000 bytes too long.
    EXPECT_EQ(FileService::readFile(local), content);
    EXPECT_EQ(m_download.total.load(), 200000);
    EXPECT_EQ(m_service.ranges("a.bin"), std::vector<std::string> { "bytes=1000-" });
}

// A server that answers a range with less than the rest of the file: the call that reaches
// the end of such an answer has not completed the file, and later calls fetch the rest.
TEST_F(DownloadTest, ShortRangeAnswersAreNotTakenForTheWholeFile)
{
    const std::string content = m_service.makeFile("a.bin", 250000);
    const QString local = m_service.localPath("a.bin");
    ASSERT_TRUE(m_service.setRule(R"({"path":"/files/a.bin","rangeLimit":100000})"));

    EXPECT_EQ(fetch(m_download, Form::ShellKey, m_service.url("a.bin"), local), DownloadResult::Failed);
    EXPECT_EQ(m_download.lastError.load(), CURLE_PARTIAL_FILE);
    EXPECT_EQ(m_download.total.load(), 250000);
    EXPECT_EQ(FileService::readFile(local).size(), 100000u + DownloadTrailer::kShellSize);
    EXPECT_EQ(fetch(m_download, Form::ShellKey, m_service.url("a.bin"), local), DownloadResult::Failed);
    EXPECT_EQ(fetch(m_download, Form::ShellKey, m_service.url("a.bin"), local), DownloadResult::Completed);
    EXPECT_EQ(FileService::readFile(local), content);
    EXPECT_EQ(m_service.ranges("a.bin"), (std::vector<std::string> { "bytes=0-", "bytes=100000-", "bytes=200000-" }));
}

// A partial answer that does not start where the file ends would corrupt the file if written.
TEST_F(DownloadTest, PartialAnswerAtAnotherOffsetIsRefused)
{
    const std::string content = testsupport::randomBytes(100, 5);
    httplib::Server server;
    server.Get("/a.bin", [&](const httplib::Request& req, httplib::Response& res) {
        const_cast<httplib::Request&>(req).ranges.clear(); // send the body as it is
        res.status = 206;
        res.set_header("Content-Range", "bytes 0-99/100");
        res.set_content(content, "application/octet-stream");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port, 0);
    std::thread listener([&] { server.listen_after_bind(); });
    while (!server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));

    const QString local = m_service.localPath("a.bin");
    const std::string before = content.substr(0, 50) + trailerBytes(trailerOf(Form::ShellKey), 50);
    FileService::writeFile(local, before);
    EXPECT_EQ(fetch(m_download, Form::ShellKey, QStringLiteral("http://127.0.0.1:%1/a.bin").arg(port), local),
              DownloadResult::Stopped);
    EXPECT_EQ(m_download.lastError.load(), CURLE_RANGE_ERROR);
    EXPECT_EQ(FileService::readFile(local), before);
    server.stop();
    listener.join();
}

TEST_F(DownloadTest, RedirectIsFollowedWithTheRange)
{
    const std::string content = m_service.makeFile("a.bin", 100000);
    const QString local = m_service.localPath("moved.bin");
    FileService::writeFile(local, content.substr(0, 5000) + trailerBytes(trailerOf(Form::ShellKey), 5000));
    ASSERT_TRUE(m_service.setRule(R"({"path":"/files/moved.bin","redirectTo":"/files/a.bin"})"));

    EXPECT_EQ(fetch(m_download, Form::ShellKey, m_service.url("moved.bin"), local), DownloadResult::Completed);
    EXPECT_EQ(FileService::readFile(local), content);
    EXPECT_EQ(m_service.ranges("moved.bin"), std::vector<std::string> { "bytes=5000-" });
    EXPECT_EQ(m_service.ranges("a.bin"), std::vector<std::string> { "bytes=5000-" });
}

TEST_F(DownloadTest, RedirectsEndAfterFive)
{
    ASSERT_TRUE(m_service.setRule(R"({"path":"/files/loop.bin","redirectTo":"/files/loop.bin"})"));
    EXPECT_EQ(fetch(m_download, Form::ShellKey, m_service.url("loop.bin"), m_service.localPath("loop.bin")),
              DownloadResult::Failed);
    EXPECT_EQ(m_download.lastError.load(), CURLE_TOO_MANY_REDIRECTS);
    EXPECT_EQ(m_service.ranges("loop.bin").size(), 6u); // the request and five redirects
}

// --- URLs and connections -----------------------------------------------------------------------

TEST_F(DownloadTest, NamesWithSpacesAndChineseAreFetched)
{
    const std::string content = m_service.makeFile("Kavren工具箱 更新包.exe", 20000);
    const QString local = m_service.localPath("package.exe");
    const QString url = QStringLiteral("http://127.0.0.1:%1/files/Kavren工具箱 更新包.exe").arg(m_service.port());
    EXPECT_EQ(fetch(m_download, Form::Updater, url, local), DownloadResult::Completed);
    EXPECT_EQ(FileService::readFile(local), content);
}

struct UrlCase
{
    const char* name;
    const char* url;
};

class RefusedUrl : public DownloadTest, public ::testing::WithParamInterface<UrlCase>
{
};

TEST_P(RefusedUrl, StopsBeforeTouchingTheFile)
{
    const QString local = m_service.localPath("a.bin");
    for (const Form form : { Form::ShellKey, Form::Updater }) {
        EXPECT_EQ(fetch(m_download, form, QString::fromUtf8(GetParam().url), local), DownloadResult::Stopped);
        EXPECT_EQ(m_download.lastError.load(), CURLE_URL_MALFORMAT);
        EXPECT_FALSE(FileService::exists(local));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, RefusedUrl,
                         ::testing::Values(UrlCase { "localFile", "file:///etc/passwd" },
                                           UrlCase { "ftp", "ftp://127.0.0.1/a.bin" },
                                           UrlCase { "noHost", "http:///a.bin" }, UrlCase { "notAUrl", "a.bin" },
                                           UrlCase { "empty", "" }),
                         [](const ::testing::TestParamInfo<UrlCase>& row) { return std::string(row.param.name); });

TEST_F(DownloadTest, RefusedConnectionFails)
{
    const QString url = QStringLiteral("http://127.0.0.1:%1/files/a.bin").arg(testsupport::closedPort());
    EXPECT_EQ(fetch(m_download, Form::Updater, url, m_service.localPath("a.bin")), DownloadResult::Failed);
    EXPECT_EQ(m_download.lastError.load(), CURLE_COULDNT_CONNECT);
}

// https is fetched with the certificate checked: a server whose certificate nobody vouches for
// is not trusted.
TEST_F(DownloadTest, HttpsChecksTheCertificate)
{
    QTemporaryDir keys;
    const QString cert = keys.filePath(QStringLiteral("cert.pem"));
    const QString key = keys.filePath(QStringLiteral("key.pem"));
    const int made = QProcess::execute(QStringLiteral("openssl"),
                                       { QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                                         QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
                                         QStringLiteral("1"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                                         QStringLiteral("-keyout"), key, QStringLiteral("-out"), cert });
    if (made != 0)
        GTEST_SKIP() << "openssl cannot make a test certificate here";

    httplib::SSLServer server(cert.toStdString().c_str(), key.toStdString().c_str());
    std::atomic<int> served { 0 };
    server.Get("/a.bin", [&](const httplib::Request&, httplib::Response& res) {
        ++served;
        res.set_content("payload", "application/octet-stream");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port, 0);
    std::thread listener([&] { server.listen_after_bind(); });
    while (!server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));

    const QString url = QStringLiteral("https://127.0.0.1:%1/a.bin").arg(port);
    for (const Form form : { Form::ShellKey, Form::Updater }) {
        const QString local = m_service.localPath(form == Form::Updater ? "u.bin" : "s.bin");
        EXPECT_EQ(fetch(m_download, form, url, local), DownloadResult::Failed);
        EXPECT_EQ(m_download.lastError.load(), CURLE_PEER_FAILED_VERIFICATION);
        EXPECT_EQ(FileService::readFile(local), "");
    }
    EXPECT_EQ(served.load(), 0);
    server.stop();
    listener.join();
}

// --- The local file cannot be replaced --------------------------------------------------------

TEST_F(DownloadTest, StaleFileThatCannotBeDeletedStops)
{
    m_service.makeFile("a.bin", 1000);
    // A folder with something in it is in the way: it cannot be deleted as a file.
    const QString local = m_service.localPath("a.bin");
    ASSERT_TRUE(QDir().mkpath(local + QStringLiteral("/inside")));

    std::vector<QString> told;
    const applib::StaleFileHook hook = [&](const QString& path) { told.push_back(path); };
    EXPECT_EQ(fetch(m_download, Form::Updater, m_service.url("a.bin"), local, hook), DownloadResult::Stopped);
    EXPECT_EQ(told, std::vector<QString> { local });
    EXPECT_EQ(m_download.lastError.load(), CURLE_WRITE_ERROR);

    // The shell form has no hook and stops silently.
    EXPECT_EQ(fetch(m_download, Form::ShellKey, m_service.url("a.bin"), local), DownloadResult::Stopped);
    EXPECT_EQ(told.size(), 1u);
    EXPECT_TRUE(QDir(local + QStringLiteral("/inside")).exists());
    EXPECT_TRUE(m_service.ranges("a.bin").empty());
}

TEST_F(DownloadTest, MissingFolderStops)
{
    m_service.makeFile("a.bin", 1000);
    const QString local = m_service.localPath("no/such/folder/a.bin");
    EXPECT_EQ(fetch(m_download, Form::ShellKey, m_service.url("a.bin"), local), DownloadResult::Stopped);
    EXPECT_EQ(m_download.lastError.load(), CURLE_WRITE_ERROR);
}

} // namespace
