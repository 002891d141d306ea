#include "session/CompactJson.h"

#include <json/value.h>
#include <json/writer.h>

namespace session {

QByteArray CompactJson::write(const Json::Value& value)
{
    // FastWriter keeps object members in the value's own order, which is ascending byte order
    // of the names, and ends the text with one line feed.
    Json::FastWriter writer;
    const std::string text = writer.write(value);
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace session
