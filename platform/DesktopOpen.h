#pragma once

#include <QString>

namespace platform {

// The "open" verb: a web address in the default browser, a file or folder in the desktop's
// application for it. Test runs set KAVREN_NO_DESKTOP_OPEN=1: the request is only traced.
class DesktopOpen
{
public:
    static bool open(const QString& target);
};

} // namespace platform
