#pragma once

#include <QList>
#include <QString>

class QJsonValue;

namespace browser {

// One argument of a bridge call, with the type it had in page script. The accessors read it
// the way a script runtime's native-function arguments are read, without checking the type
// first: a value of another type reads as empty text, 0 or false.
class ScriptValue
{
public:
    enum class Kind { Undefined, Null, String, Number, Bool, Object };

    ScriptValue() = default;
    static ScriptValue undefined() { return {}; }
    static ScriptValue null();
    static ScriptValue string(const QString& text);
    static ScriptValue number(double value);
    static ScriptValue boolean(bool value);
    static ScriptValue object();
    // The tagged form the bridge loader sends: {"t":"s","v":"…"}, {"t":"n","v":1}, {"t":"b","v":true},
    // {"t":"l"} (null), {"t":"o"} (object or function), {"t":"u"} (undefined).
    static ScriptValue fromTagged(const QJsonValue& tagged);

    Kind kind() const { return m_kind; }
    bool isNull() const { return m_kind == Kind::Null; }
    bool isUndefined() const { return m_kind == Kind::Undefined; }

    QString text() const;    // string value, else empty
    int toInt() const;       // integral number within the signed 32-bit range, else 0
    quint32 toUInt() const;  // integral number within the unsigned 32-bit range, else 0
    bool toBool() const;     // boolean value, else false

private:
    Kind m_kind = Kind::Undefined;
    QString m_text;
    double m_number = 0;
    bool m_bool = false;
};

using ScriptArgs = QList<ScriptValue>;

} // namespace browser
