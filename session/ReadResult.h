#pragma once

namespace session {

// How reading a received command went.
enum class ReadResult {
    Ok,
    NotJson, // the payload is not a JSON object: the command is dropped
    BadMember // a member holds a type that cannot be read as asked: the command fails as a whole
};

} // namespace session
