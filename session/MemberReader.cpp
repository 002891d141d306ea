#include "session/MemberReader.h"

#include <json/reader.h>
#include <json/value.h>

#include <climits>
#include <cmath>

namespace session {

MemberReader::MemberReader(const Json::Value& object)
    : m_object(object)
{
}

QByteArray MemberReader::commandText(const QByteArray& payload)
{
    const qsizetype zero = payload.indexOf('\0');
    return zero < 0 ? payload : payload.left(zero);
}

bool MemberReader::parse(const QByteArray& payload, Json::Value* root)
{
    const QByteArray text = commandText(payload);
    Json::Value value;
    Json::Reader reader;
    // The old reader takes the first complete value and ignores what follows it.
    if (!reader.parse(text.constData(), text.constData() + text.size(), value, false))
        return false;
    if (!value.isObject())
        return false;
    *root = std::move(value);
    return true;
}

bool MemberReader::member(const char* name, const Json::Value** value) const
{
    static const Json::Value null;
    if (m_object.isNull()) {
        *value = &null;
        return true;
    }
    if (!m_object.isObject())
        return false;
    const Json::Value* found = m_object.find(name, name + std::char_traits<char>::length(name));
    *value = found ? found : &null;
    return true;
}

bool MemberReader::toText(const Json::Value& value, QString* out)
{
    switch (value.type()) {
    case Json::nullValue:
        *out = QString();
        return true;
    case Json::stringValue: {
        const char* begin = nullptr;
        const char* end = nullptr;
        value.getString(&begin, &end);
        *out = QString::fromUtf8(begin, static_cast<qsizetype>(end - begin));
        return true;
    }
    case Json::intValue:
    case Json::uintValue:
    case Json::realValue:
    case Json::booleanValue:
        *out = QString::fromStdString(value.asString());
        return true;
    case Json::arrayValue:
    case Json::objectValue:
        break;
    }
    return false;
}

bool MemberReader::toInt(const Json::Value& value, int* out)
{
    switch (value.type()) {
    case Json::nullValue:
        *out = 0;
        return true;
    case Json::intValue:
        if (value.asLargestInt() < INT_MIN || value.asLargestInt() > INT_MAX)
            return false;
        *out = static_cast<int>(value.asLargestInt());
        return true;
    case Json::uintValue:
        if (value.asLargestUInt() > static_cast<Json::LargestUInt>(INT_MAX))
            return false;
        *out = static_cast<int>(value.asLargestUInt());
        return true;
    case Json::realValue: {
        // A fraction is cut off; a value outside the int range cannot be read.
        const double number = value.asDouble();
        if (!(number >= static_cast<double>(INT_MIN) && number <= static_cast<double>(INT_MAX)))
            return false;
        *out = static_cast<int>(std::trunc(number));
        return true;
    }
    case Json::booleanValue:
        *out = value.asBool() ? 1 : 0;
        return true;
    case Json::stringValue:
    case Json::arrayValue:
    case Json::objectValue:
        break;
    }
    return false;
}

bool MemberReader::toBool(const Json::Value& value, bool* out)
{
    switch (value.type()) {
    case Json::nullValue:
        *out = false;
        return true;
    case Json::booleanValue:
        *out = value.asBool();
        return true;
    case Json::intValue:
        *out = value.asLargestInt() != 0;
        return true;
    case Json::uintValue:
        *out = value.asLargestUInt() != 0;
        return true;
    case Json::realValue:
        *out = value.asDouble() != 0.0;
        return true;
    case Json::stringValue:
    case Json::arrayValue:
    case Json::objectValue:
        break;
    }
    return false;
}

bool MemberReader::readText(const char* name, QString* out) const
{
    const Json::Value* value = nullptr;
    return member(name, &value) && toText(*value, out);
}

bool MemberReader::readInt(const char* name, int* out) const
{
    const Json::Value* value = nullptr;
    return member(name, &value) && toInt(*value, out);
}

bool MemberReader::readBool(const char* name, bool* out) const
{
    const Json::Value* value = nullptr;
    return member(name, &value) && toBool(*value, out);
}

bool MemberReader::readArray(const char* name, Json::Value* out) const
{
    const Json::Value* value = nullptr;
    if (!member(name, &value))
        return false;
    if (value->isNull()) {
        *out = Json::Value(Json::arrayValue);
        return true;
    }
    if (!value->isArray())
        return false;
    *out = *value;
    return true;
}

} // namespace session
