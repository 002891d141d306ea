#include "session/Frame.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// Mutations of well-formed traffic: flipped bytes, cut frames, odd lengths, nested values.
TEST(SessionFuzz, SeededRandomTrafficNeverCrashes)
{
    const std::vector<QByteArray> seeds = {
        "{\"CommandType\":3,\"Date\":\"d\",\"LoginId\":\"l\",\"LoginResult\":true,\"Operation\":3,\"SessionId\":\"s\"}"
        "\n",
        "{\"CommandType\":4,\"MessageList\":[{\"Id\":1,\"Title\":\"t\",\"Range\":2},{\"Id\":\"x\"},null,7]}\n",
        "{\"ClientMD5\":\"\",\"LowestVersion\":{\"a\":[1,{}]},\"ValidateResult\":1e400,\"Version\":-0.0}\n",
        "[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[",
        "{\"CommandType\":99999999999999999999999,\"Operation\":-2147483649}",
    };
    std::mt19937 random(20240611u);
    for (int round = 0; round < 4000; ++round) {
        QByteArray stream;
        const int frames = 1 + static_cast<int>(random() % 4);
        for (int f = 0; f < frames; ++f)
            stream += session::Frame::encode(seeds[random() % seeds.size()]);
        const int mutations = static_cast<int>(random() % 6);
        for (int m = 0; m < mutations && !stream.isEmpty(); ++m) {
            const auto at = static_cast<qsizetype>(random() % static_cast<unsigned>(stream.size()));
            switch (random() % 4) {
            case 0:
                stream[at] = static_cast<char>(random() & 0xFF);
                break;
            case 1:
                stream.truncate(at);
                break;
            case 2:
                stream.insert(at, QByteArray(1 + static_cast<int>(random() % 8), static_cast<char>(random() & 0xFF)));
                break;
            default:
                stream.remove(at, 1 + static_cast<qsizetype>(random() % 8));
                break;
            }
        }
        std::vector<std::uint8_t> input;
        input.push_back(static_cast<std::uint8_t>(random() & 0xFF));
        input.insert(input.end(), stream.cbegin(), stream.cend());
        ASSERT_EQ(LLVMFuzzerTestOneInput(input.data(), input.size()), 0);
    }
}

} // namespace
