#pragma once

#include <QString>

#include <exception>

namespace platform {

// The last-chance handler: an exception that escapes an event handler, a worker thread's entry
// function or ends in std::terminate shows the program's one message (from the GUI thread)
// and then ends the process.
class LastChance
{
public:
    static void install(const QString& caption, const QString& text);
    [[noreturn]] static void fail();

    // Runs a thread's entry function; anything it throws ends in fail().
    template <typename F>
    static void guard(F&& entry) noexcept
    {
        try {
            entry();
        } catch (...) {
            fail();
        }
    }
};

} // namespace platform
