#pragma once

#include <QByteArray>

namespace Json {
class Value;
}

namespace session {

// The one JSON writer of the programs: no whitespace between tokens, object members in
// ascending byte order of their names, one line feed at the end.
class CompactJson
{
public:
    static QByteArray write(const Json::Value& value);
};

} // namespace session
