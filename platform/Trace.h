#pragma once

#include <QString>

namespace platform {

// Test-only event trace: when KAVREN_TRACE_FILE names a file, each event is appended to it as
// one line "<program> <pid> <event> <detail>". Without the variable nothing is written.
class Trace
{
public:
    static void event(const QString& name, const QString& detail = {});
};

} // namespace platform
