#include "browser/ScriptValue.h"

#include <QJsonObject>
#include <QJsonValue>

#include <cmath>
#include <limits>

namespace browser {

ScriptValue ScriptValue::null()
{
    ScriptValue v;
    v.m_kind = Kind::Null;
    return v;
}

ScriptValue ScriptValue::string(const QString& text)
{
    ScriptValue v;
    v.m_kind = Kind::String;
    v.m_text = text;
    return v;
}

ScriptValue ScriptValue::number(double value)
{
    ScriptValue v;
    v.m_kind = Kind::Number;
    v.m_number = value;
    return v;
}

ScriptValue ScriptValue::boolean(bool value)
{
    ScriptValue v;
    v.m_kind = Kind::Bool;
    v.m_bool = value;
    return v;
}

ScriptValue ScriptValue::object()
{
    ScriptValue v;
    v.m_kind = Kind::Object;
    return v;
}

ScriptValue ScriptValue::fromTagged(const QJsonValue& tagged)
{
    const QJsonObject o = tagged.toObject();
    const QString t = o.value(QLatin1String("t")).toString();
    if (t == QLatin1String("s"))
        return string(o.value(QLatin1String("v")).toString());
    if (t == QLatin1String("n")) {
        const QJsonValue v = o.value(QLatin1String("v"));
        // NaN and the infinities travel as null: numbers, but never integral.
        return number(v.isDouble() ? v.toDouble() : std::numeric_limits<double>::quiet_NaN());
    }
    if (t == QLatin1String("b"))
        return boolean(o.value(QLatin1String("v")).toBool());
    if (t == QLatin1String("l"))
        return null();
    if (t == QLatin1String("o"))
        return object();
    return undefined();
}

QString ScriptValue::text() const
{
    return m_kind == Kind::String ? m_text : QString();
}

int ScriptValue::toInt() const
{
    if (m_kind != Kind::Number || !std::isfinite(m_number) || std::trunc(m_number) != m_number)
        return 0;
    if (m_number < std::numeric_limits<int>::min() || m_number > std::numeric_limits<int>::max())
        return 0;
    return static_cast<int>(m_number);
}

quint32 ScriptValue::toUInt() const
{
    if (m_kind != Kind::Number || !std::isfinite(m_number) || std::trunc(m_number) != m_number)
        return 0;
    if (m_number < 0 || m_number > std::numeric_limits<quint32>::max())
        return 0;
    return static_cast<quint32>(m_number);
}

bool ScriptValue::toBool() const
{
    return m_kind == Kind::Bool && m_bool;
}

} // namespace browser
