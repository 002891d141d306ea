// Fuzz target for everything that reads bytes from the network: the frame reader, the JSON
// parse and the member readers of every command. Built as a libFuzzer program with clang, and
// run over seeded random inputs by session_tests everywhere.
#include "session/FrameReader.h"
#include "session/MemberReader.h"
#include "session/PushMessages.h"
#include "session/SessionRecord.h"
#include "session/UpdateCheckAnswer.h"

#include <json/value.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The first byte chooses how the rest is cut into reads, so splits get explored too.
    if (size == 0)
        return 0;
    const std::size_t step = 1 + data[0] % 64;
    session::FrameReader reader;
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    const std::size_t length = size - 1;
    for (std::size_t at = 0; at < length; at += step) {
        const std::size_t piece = at + step > length ? length - at : step;
        reader.append(bytes + at, piece);
        QByteArray payload;
        while (reader.next(&payload) == session::FrameReader::Status::Frame) {
            if (payload.size() > 10236)
                __builtin_trap();
            session::SessionRecord record;
            record.copyFrom(payload);
            session::PushMessages push;
            push.read(payload);
            session::UpdateCheckAnswer answer;
            answer.read(payload);
        }
    }
    // The whole input as one payload as well: the readers must take any text.
    const QByteArray whole(bytes, static_cast<qsizetype>(length));
    Json::Value command;
    if (session::MemberReader::parse(whole, &command)) {
        session::SessionRecord record;
        record.copyFrom(command);
        session::PushMessages push;
        push.read(whole);
    }
    return 0;
}
