// The dev service's file serving, which the download tests stand on: range answers, paths
// that try to leave the folder, and the control endpoint.
#include "devservice/FileServer.h"
#include "tests/applib/FileService.h"

#include <httplib.h>

#include <gtest/gtest.h>

#include <fstream>

namespace {

using testsupport::FileService;

struct RangeCase
{
    const char* name;
    const char* range; // nullptr: no Range header
    int status;
    const char* contentRange;
    size_t from;
    size_t to; // body = content[from, to)
};

class FileServerRange : public ::testing::TestWithParam<RangeCase>
{
protected:
    FileService m_service;
};

TEST_P(FileServerRange, AnswersTheRangeAsked)
{
    const RangeCase& c = GetParam();
    ASSERT_TRUE(m_service.ok());
    const std::string content = m_service.makeFile("a.bin", 1000);
    httplib::Client client("127.0.0.1", m_service.port());
    httplib::Headers headers;
    if (c.range)
        headers.emplace("Range", c.range);
    const auto answer = client.Get("/files/a.bin", headers);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, c.status);
    EXPECT_EQ(answer->get_header_value("Content-Range"), c.contentRange);
    EXPECT_EQ(answer->body, content.substr(c.from, c.to - c.from));
    if (c.status != 416) {
        EXPECT_EQ(answer->get_header_value("Content-Length"), std::to_string(c.to - c.from));
    }
    // One log line per request, with the Range header as sent.
    EXPECT_EQ(m_service.ranges("a.bin"), std::vector<std::string> { c.range ? c.range : "none" });
}

INSTANTIATE_TEST_SUITE_P(Table, FileServerRange,
                         ::testing::Values(RangeCase { "noRange", nullptr, 200, "", 0, 1000 },
                                           RangeCase { "fromZero", "bytes=0-", 206, "bytes 0-999/1000", 0, 1000 },
                                           RangeCase { "fromOffset", "bytes=10-", 206, "bytes 10-999/1000", 10, 1000 },
                                           RangeCase { "closedRange", "bytes=10-19", 206, "bytes 10-19/1000", 10, 20 },
                                           RangeCase { "suffix", "bytes=-5", 206, "bytes 995-999/1000", 995, 1000 },
                                           RangeCase { "lastByte", "bytes=999-", 206, "bytes 999-999/1000", 999, 1000 },
                                           RangeCase { "atTheEnd", "bytes=1000-", 416, "bytes */1000", 0, 0 },
                                           RangeCase { "pastTheEnd", "bytes=5000-", 416, "bytes */1000", 0, 0 },
                                           RangeCase { "severalRangesGetTheWhole", "bytes=0-1,5-6", 200, "", 0, 1000 }),
                         [](const ::testing::TestParamInfo<RangeCase>& row) { return std::string(row.param.name); });

TEST(FileServerPaths, StayInsideTheFolder)
{
    FileService service;
    ASSERT_TRUE(service.ok());
    service.makeFile("a.bin", 10);
    std::ofstream(service.root() + "/secret") << "secret";
    const std::string files = service.root() + "/files";
    using devservice::FileServer;
    EXPECT_EQ(FileServer::fileFor(files, "/files/a.bin"), files + "/a.bin");
    EXPECT_EQ(FileServer::fileFor(files, "/files/../secret"), "");
    EXPECT_EQ(FileServer::fileFor(files, "/files/x/../../secret"), "");
    EXPECT_EQ(FileServer::fileFor(files, "/files/" + service.root() + "/secret"), "");
    EXPECT_EQ(FileServer::fileFor(files, "/files/"), "");
    EXPECT_EQ(FileServer::fileFor(files, "/other/a.bin"), "");

    // The same through HTTP, with the dots percent-encoded so that no client removes them.
    httplib::Client client("127.0.0.1", service.port());
    const auto answer = client.Get("/files/%2e%2e/secret");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 404);
    EXPECT_NE(answer->body, "secret");
}

TEST(FileServerControl, RejectsMalformedRules)
{
    FileService service;
    ASSERT_TRUE(service.ok());
    EXPECT_EQ(service.postRule("not json"), 400);
    EXPECT_EQ(service.postRule(R"({"throttle":5})"), 400); // no path
    EXPECT_EQ(service.postRule(R"({"path":"/files/a.bin","status":"x"})"), 400); // wrong type
    EXPECT_EQ(service.postRule(R"({"path":"/files/a.bin","status":42})"), 400); // not a status
    EXPECT_EQ(service.postRule(R"({"path":"/files/a.bin","throttle":-1})"), 400);
    EXPECT_EQ(service.postRule(R"({"path":"/files/a.bin","status":404})"), 200);
}

TEST(FileServerControl, RuleLastsForItsUsesAndCanBeCleared)
{
    FileService service;
    ASSERT_TRUE(service.ok());
    service.makeFile("a.bin", 100);
    service.makeFile("b.bin", 100);
    httplib::Client client("127.0.0.1", service.port());
    const auto statusOf = [&](const char* path) {
        const auto answer = client.Get(path);
        return answer ? answer->status : -1;
    };

    ASSERT_TRUE(service.setRule(R"({"path":"/files/a.bin","status":404,"uses":2})"));
    EXPECT_EQ(statusOf("/files/a.bin"), 404);
    EXPECT_EQ(statusOf("/files/a.bin"), 404);
    EXPECT_EQ(statusOf("/files/a.bin"), 200);

    ASSERT_TRUE(service.setRule(R"({"path":"/files/a.bin","status":503})"));
    ASSERT_TRUE(service.setRule(R"({"path":"/files/b.bin","status":503})"));
    ASSERT_TRUE(service.setRule(R"({"path":"/files/a.bin"})")); // only the path: back to normal
    EXPECT_EQ(statusOf("/files/a.bin"), 200);
    EXPECT_EQ(statusOf("/files/b.bin"), 503);
    service.clearRules();
    EXPECT_EQ(statusOf("/files/b.bin"), 200);
}

TEST(FileServerControl, FaultsSitAtFileOffsets)
{
    FileService service;
    ASSERT_TRUE(service.ok());
    const std::string content = service.makeFile("a.bin", 100000);
    ASSERT_TRUE(service.setRule(R"({"path":"/files/a.bin","dropAfter":30000})"));
    httplib::Client client("127.0.0.1", service.port());

    // From 0 the body is cut at byte 30000: the client sees a short read.
    std::string received;
    const auto cut = client.Get("/files/a.bin", httplib::Headers { { "Range", "bytes=0-" } },
                                [&](const char* data, size_t length) {
                                    received.append(data, length);
                                    return true;
                                });
    EXPECT_FALSE(cut);
    EXPECT_EQ(received, content.substr(0, 30000));

    // A request that starts at the cut gets the rest.
    const auto rest = client.Get("/files/a.bin", httplib::Headers { { "Range", "bytes=30000-" } });
    ASSERT_TRUE(rest);
    EXPECT_EQ(rest->status, 206);
    EXPECT_EQ(rest->body, content.substr(30000));
}

} // namespace
