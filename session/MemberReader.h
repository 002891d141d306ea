#pragma once

#include <QByteArray>
#include <QString>

namespace Json {
class Value;
}

namespace session {

// Reads members of a received command object with the protocol's coercions:
//  - an absent or null member reads as empty text, 0 or false;
//  - a number or boolean read as text gives its JSON text ("3", "true");
//  - a boolean read as an integer gives 0 or 1; a number read as a boolean is true when not 0;
//  - anything else (a string read as an integer or a boolean, an array or object read as text
//    or a number, an integer out of range) is a mismatch: the read returns false and leaves
//    the output unchanged, and the caller fails the whole command.
// Reading a member of something that is not an object (an array element that is a number)
// is a mismatch too; a null stands for an empty object.
class MemberReader
{
public:
    explicit MemberReader(const Json::Value& object);

    // Parses a received payload: the text up to its first zero byte, of which the first
    // complete JSON value is taken (a trailing line feed or stray bytes are ignored). False
    // when it does not parse or is not an object.
    static bool parse(const QByteArray& payload, Json::Value* root);
    // The payload as command text: up to its first zero byte.
    static QByteArray commandText(const QByteArray& payload);

    bool readText(const char* name, QString* out) const;
    bool readInt(const char* name, int* out) const;
    bool readBool(const char* name, bool* out) const;
    // An array member: absent or null gives an empty array; any other type is a mismatch.
    bool readArray(const char* name, Json::Value* out) const;

    static bool toText(const Json::Value& value, QString* out);
    static bool toInt(const Json::Value& value, int* out);
    static bool toBool(const Json::Value& value, bool* out);

private:
    bool member(const char* name, const Json::Value** value) const;

    const Json::Value& m_object;
};

} // namespace session
