#pragma once

#include <QString>

namespace browser {

// What a bridge call returns to page script: undefined, a string or an integer. `handled`
// is the dispatcher's own verdict (true for the commands it serves with an answer or as a
// multiplexed command); script never sees it.
struct BridgeAnswer
{
    enum class Kind { Undefined, String, Integer };

    Kind kind = Kind::Undefined;
    QString text;
    int integer = 0;
    bool handled = false;

    static BridgeAnswer undefined(bool handled) { return {Kind::Undefined, {}, 0, handled}; }
    static BridgeAnswer string(const QString& text) { return {Kind::String, text, 0, true}; }
    static BridgeAnswer number(int value) { return {Kind::Integer, {}, value, true}; }

    // The answer as the bridge loader reads it: {"t":"u"}, {"t":"s","v":…} or {"t":"i","v":…}.
    QString toTagged() const;
};

} // namespace browser
