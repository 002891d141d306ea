#pragma once

#include <QString>

namespace browser {
class BrowserRuntime;
}

namespace account {

// What the login window needs from the shell that runs it.
class LoginHost
{
public:
    virtual ~LoginHost() = default;
    // The browser runtime; the first call creates it (after the cache marker was consumed).
    virtual browser::BrowserRuntime& browserRuntime() = 0;
    // The exit routine: the process ends.
    [[noreturn]] virtual void exitShell() = 0;
    virtual QString serviceAddress() const = 0;
    virtual quint16 sessionPort() const = 0;
};

} // namespace account
