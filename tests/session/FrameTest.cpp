#include "session/Frame.h"
#include "session/FrameReader.h"
#include "session/Protocol.h"

#include <QStringBuilder>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using session::Frame;
using session::FrameReader;

QByteArray header(std::uint32_t length)
{
    QByteArray bytes(4, '\0');
    Frame::writeLength(bytes.data(), length);
    return bytes;
}

QByteArray frameOf(const QByteArray& payload)
{
    return Frame::encode(payload);
}

TEST(Frame, HundredBytePayloadStartsWith0x68)
{
    const QByteArray frame = Frame::encode(QByteArray(100, 'x'));
    ASSERT_EQ(frame.size(), 104);
    EXPECT_EQ(static_cast<unsigned char>(frame[0]), 0x68);
    EXPECT_EQ(frame[1], '\0');
    EXPECT_EQ(frame[2], '\0');
    EXPECT_EQ(frame[3], '\0');
    EXPECT_EQ(frame.mid(4), QByteArray(100, 'x'));
}

TEST(Frame, LengthIsLittleEndianAndCountsItself)
{
    const QByteArray frame = Frame::encode(QByteArray(300, 'a')); // 304 = 0x130
    EXPECT_EQ(static_cast<unsigned char>(frame[0]), 0x30);
    EXPECT_EQ(static_cast<unsigned char>(frame[1]), 0x01);
    EXPECT_EQ(Frame::readLength(header(0x0A0B0C0Du).constData()), 0x0A0B0C0Du);
    EXPECT_EQ(Frame::readLength(header(0xFFFFFFFFu).constData()), 0xFFFFFFFFu);
}

TEST(Frame, LargestPayloadFitsAndOneMoreIsRefused)
{
    EXPECT_EQ(Frame::encode(QByteArray(session::protocol::kMaxPayloadSize, 'p')).size(), 10240);
    EXPECT_TRUE(Frame::encode(QByteArray(session::protocol::kMaxPayloadSize + 1, 'p')).isEmpty());
    EXPECT_EQ(Frame::encode(QByteArray()).size(), 4) << "an empty payload is a 4-byte frame";
}

// One row: the bytes as they arrive read by read, the payloads expected out of them in order,
// and whether the stream must end in a protocol error.
struct SplitCase
{
    std::string name;
    std::vector<QByteArray> reads;
    std::vector<QByteArray> payloads;
    bool protocolError = false;
    int leftOver = 0; // bytes still waiting for the rest of their frame
};

class FrameReaderSplits : public ::testing::TestWithParam<SplitCase>
{
};

TEST_P(FrameReaderSplits, DeliversEveryWholeFrameInOrder)
{
    const SplitCase& row = GetParam();
    FrameReader reader;
    std::vector<QByteArray> seen;
    bool error = false;
    for (const QByteArray& read : row.reads) {
        reader.append(read);
        QByteArray payload;
        for (;;) {
            const FrameReader::Status status = reader.next(&payload);
            if (status == FrameReader::Status::Frame) {
                seen.push_back(payload);
                continue;
            }
            error = error || status == FrameReader::Status::ProtocolError;
            break;
        }
    }
    EXPECT_EQ(seen, row.payloads);
    EXPECT_EQ(error, row.protocolError);
    if (!row.protocolError) {
        EXPECT_EQ(reader.pending(), row.leftOver);
    }
}

const QByteArray kFirst = "{\"CommandType\":4,\"MessageList\":[{\"Id\":1}]}\n";
const QByteArray kSecond = "{\"CommandType\":4,\"MessageList\":[{\"Id\":2}]}\n";

std::vector<SplitCase> splitCases()
{
    const QByteArray one = frameOf(kFirst);
    const QByteArray two = frameOf(kSecond);
    std::vector<QByteArray> bytewise;
    for (char c : QByteArray(one + two))
        bytewise.push_back(QByteArray(1, c));
    return {
        { "TwoFramesInOneRead", { one + two }, { kFirst, kSecond } },
        { "OneFrameInThreeReads", { one.left(2), one.mid(2, 20), one.mid(22) }, { kFirst } },
        { "ByteAtATime", bytewise, { kFirst, kSecond } },
        { "SecondFrameSplitAcrossReads", { one + two.left(3), two.mid(3) }, { kFirst, kSecond } },
        { "ReadsOfOneToFourBytesWaitForMore", { QByteArray("\x68", 1), QByteArray(2, '\0') }, {}, false, 3 },
        { "EmptyPayloadIsAFrame", { header(4) }, { QByteArray() } },
        { "LargestFrame", { frameOf(QByteArray(10236, 'z')) }, { QByteArray(10236, 'z') } },
        { "LengthZeroIsAProtocolError", { header(0) + kFirst }, {}, true },
        { "LengthThreeIsAProtocolError", { header(3) + "abc" }, {}, true },
        { "LengthOverLimitIsAProtocolError", { header(10241) + QByteArray(10237, 'q') }, {}, true },
        { "FrameBeforeABadLengthIsStillDelivered", { one + header(0xFFFFFFFFu) }, { kFirst }, true },
        { "NothingAfterAProtocolError", { header(2), one }, {}, true },
    };
}

INSTANTIATE_TEST_SUITE_P(Rows, FrameReaderSplits, ::testing::ValuesIn(splitCases()),
                         [](const ::testing::TestParamInfo<SplitCase>& param) { return param.param.name; });

TEST(FrameReader, KeepsOnlyUnconsumedBytesBetweenReads)
{
    // A long stream of frames read in odd pieces must not grow the buffer without bound.
    FrameReader reader;
    const QByteArray one = frameOf(kFirst);
    QByteArray stream;
    for (int i = 0; i < 2000; ++i)
        stream += one;
    int delivered = 0;
    for (qsizetype at = 0; at < stream.size(); at += 777) {
        reader.append(stream.mid(at, 777));
        QByteArray payload;
        while (reader.next(&payload) == FrameReader::Status::Frame) {
            ASSERT_EQ(payload, kFirst);
            ++delivered;
        }
        ASSERT_LT(reader.pending(), one.size());
    }
    EXPECT_EQ(delivered, 2000);
}

} // namespace
