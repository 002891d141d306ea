#include "applib/DownloadTrailer.h"
#include "applib/ResponseHead.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using applib::DownloadTrailer;

std::string bytesOf(const QByteArray& data)
{
    return std::string(data.constData(), static_cast<size_t>(data.size()));
}

// The expected trailers, spelled out byte by byte.
std::string shellTrailer(const std::string& key, const std::string& count)
{
    std::string out = "MyFileDownLoadInfo";
    out += '\0';
    out += "000000"; // bytes 19..24
    std::string keyField = key;
    keyField += '\0';
    keyField.resize(10, '0');
    out += keyField; // bytes 25..34
    out += '0'; // byte 35
    out += count; // bytes 36..39
    return out;
}

std::string updaterTrailer(const std::string& count)
{
    std::string out;
    for (char c : std::string("MyFileDownLoadInfo")) {
        out += c;
        out += '\0';
    }
    out += std::string("\0\0", 2);
    out += "00";
    out += count;
    return out;
}

struct BytesCase
{
    const char* name;
    bool shell;
    const char* key;
    qint64 received;
    std::string expected;
};

class TrailerBytes : public ::testing::TestWithParam<BytesCase>
{
};

TEST_P(TrailerBytes, AreTheDescribedLayout)
{
    const BytesCase& c = GetParam();
    const DownloadTrailer trailer
        = c.shell ? DownloadTrailer::shell(QString::fromUtf8(c.key)) : DownloadTrailer::updater();
    const QByteArray bytes = trailer.bytes(c.received);
    EXPECT_EQ(bytes.size(), c.shell ? 40 : 44);
    EXPECT_EQ(bytesOf(bytes), c.expected);
    EXPECT_EQ(trailer.size(), bytes.size());
    EXPECT_TRUE(trailer.matches(bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Table, TrailerBytes,
    ::testing::Values(BytesCase { "shellShortKey", true, "1.2", 0x01020304, shellTrailer("1.2", "\x04\x03\x02\x01") },
                      BytesCase { "shellEmptyKey", true, "", 1000, shellTrailer("", std::string("\xE8\x03\0\0", 4)) },
                      BytesCase { "shellNineByteKey", true, "123456789", 1,
                                  shellTrailer("123456789", std::string("\x01\0\0\0", 4)) },
                      BytesCase { "shellCountKeepsLow32Bits", true, "v", 0x100000005LL,
                                  shellTrailer("v", std::string("\x05\0\0\0", 4)) },
                      BytesCase { "updaterZero", false, "", 0, updaterTrailer(std::string("\0\0\0\0", 4)) },
                      BytesCase { "updaterCount", false, "", 0x7FFFFFFF, updaterTrailer("\xFF\xFF\xFF\x7F") }),
    [](const ::testing::TestParamInfo<BytesCase>& row) { return std::string(row.param.name); });

struct MatchCase
{
    const char* name;
    QByteArray tail;
    bool shell;
    const char* key;
    bool expected;
};

class TrailerMatch : public ::testing::TestWithParam<MatchCase>
{
};

TEST_P(TrailerMatch, ResumesOnlyOnMarkerAndKey)
{
    const MatchCase& c = GetParam();
    const DownloadTrailer trailer
        = c.shell ? DownloadTrailer::shell(QString::fromUtf8(c.key)) : DownloadTrailer::updater();
    EXPECT_EQ(trailer.matches(c.tail), c.expected);
}

QByteArray raw(const std::string& bytes)
{
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string withByte(std::string bytes, size_t at, char value)
{
    bytes[at] = value;
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Table, TrailerMatch,
    ::testing::Values(
        MatchCase { "sameKey", raw(shellTrailer("1.2", "0000")), true, "1.2", true },
        MatchCase { "otherKey", raw(shellTrailer("1.2", "0000")), true, "1.3", false },
        MatchCase { "keyIsPrefix", raw(shellTrailer("1.20", "0000")), true, "1.2", false },
        MatchCase { "emptyKeyAgainstKey", raw(shellTrailer("", "0000")), true, "1.2", false },
        MatchCase { "fillBytesDoNotMatter", raw(withByte(shellTrailer("1.2", "0000"), 20, 'x')), true, "1.2", true },
        MatchCase { "markerDamaged", raw(withByte(shellTrailer("1.2", "0000"), 3, 'f')), true, "1.2", false },
        MatchCase { "markerWithoutNul", raw(withByte(shellTrailer("1.2", "0000"), 18, '0')), true, "1.2", false },
        MatchCase { "keyFieldWithoutNul", raw(withByte(shellTrailer("123456789", "0000"), 34, '0')), true, "123456789",
                    false },
        MatchCase { "allZeroCharacters", QByteArray(40, '0'), true, "", false },
        MatchCase { "updaterTrailerForShell", raw(updaterTrailer("0000")), true, "", false },
        MatchCase { "shellTrailerForUpdater", raw(shellTrailer("", "0000") + "0000"), false, "", false },
        MatchCase { "updaterMarkerDamaged", raw(withByte(updaterTrailer("0000"), 1, 'x')), false, "", false },
        MatchCase { "wrongLength", raw(shellTrailer("1.2", "0000").substr(1)), true, "1.2", false }),
    [](const ::testing::TestParamInfo<MatchCase>& row) { return std::string(row.param.name); });

TEST(TrailerKey, LongerThanNineBytesCannotResume)
{
    EXPECT_TRUE(DownloadTrailer::shell(QStringLiteral("123456789")).canResume());
    const DownloadTrailer tooLong = DownloadTrailer::shell(QStringLiteral("1234567890"));
    EXPECT_FALSE(tooLong.canResume());
    // Not even a trailer carrying its first nine bytes: that could be another version's file.
    EXPECT_FALSE(tooLong.matches(raw(shellTrailer("123456789", "0000"))));
    // Non-ASCII text counts in its encoded bytes: three characters of three bytes each fit,
    // four do not.
    EXPECT_TRUE(DownloadTrailer::shell(QStringLiteral("版本号")).canResume());
    EXPECT_FALSE(DownloadTrailer::shell(QStringLiteral("新的版本")).canResume());
}

// ResponseHead: what the engine reads from the answers' header lines.
struct HeadCase
{
    const char* name;
    std::vector<std::string> lines;
    bool finalHead; // the last line ended the final answer's head
    long status;
    qint64 contentLength;
    qint64 rangeStart;
    qint64 rangeTotal;
};

class HeadParse : public ::testing::TestWithParam<HeadCase>
{
};

TEST_P(HeadParse, ReadsTheFinalAnswer)
{
    const HeadCase& c = GetParam();
    applib::ResponseHead head;
    bool ended = false;
    for (const auto& line : c.lines)
        ended = head.feed(line.data(), line.size());
    EXPECT_EQ(ended, c.finalHead);
    EXPECT_EQ(head.status(), c.status);
    EXPECT_EQ(head.contentLength(), c.contentLength);
    EXPECT_EQ(head.rangeStart(), c.rangeStart);
    EXPECT_EQ(head.rangeTotal(), c.rangeTotal);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HeadParse,
    ::testing::Values(
        HeadCase { "partial",
                   { "HTTP/1.1 206 Partial Content\r\n", "content-length: 24\r\n",
                     "Content-Range: bytes 1000-1023/1024\r\n", "\r\n" },
                   true,
                   206,
                   24,
                   1000,
                   1024 },
        HeadCase { "wholeWithoutLength",
                   { "HTTP/1.1 200 OK\r\n", "Transfer-Encoding: chunked\r\n", "\r\n" },
                   true,
                   200,
                   -1,
                   -1,
                   -1 },
        HeadCase { "unsatisfiable",
                   { "HTTP/1.1 416 Range Not Satisfiable\r\n", "Content-Range: bytes */1024\r\n", "\r\n" },
                   true,
                   416,
                   -1,
                   -1,
                   1024 },
        HeadCase { "redirectThenAnswer",
                   { "HTTP/1.1 302 Found\r\n", "Location: /b\r\n", "Content-Length: 5\r\n", "\r\n",
                     "HTTP/1.1 206 OK\r\n", "Content-Length: 7\r\n", "\r\n" },
                   true,
                   206,
                   7,
                   -1,
                   -1 },
        HeadCase { "redirectHeadIsNotFinal",
                   { "HTTP/1.1 301 Moved\r\n", "Location: http://x/\r\n", "\r\n" },
                   false,
                   301,
                   -1,
                   -1,
                   -1 },
        HeadCase { "redirectWithoutLocationIsFinal", { "HTTP/1.1 302 Found\r\n", "\r\n" }, true, 302, -1, -1, -1 },
        HeadCase { "interimAnswerSkipped", { "HTTP/1.1 100 Continue\r\n", "\r\n" }, false, 100, -1, -1, -1 },
        HeadCase { "badLength", { "HTTP/1.1 200 OK\r\n", "Content-Length: 12x\r\n", "\r\n" }, true, 200, -1, -1, -1 },
        HeadCase { "http2StatusLine", { "HTTP/2 206\r\n", "content-length: 3\r\n", "\r\n" }, true, 206, 3, -1, -1 }),
    [](const ::testing::TestParamInfo<HeadCase>& row) { return std::string(row.param.name); });

} // namespace
