#pragma once

#include <functional>

namespace platform {

// Runs a blocking call on a worker thread while the calling (GUI) thread keeps processing its
// events, and returns when the call has returned. The call must bound its own wait. Used where
// the program must wait for the network inside an engine callback (the login step) without
// freezing its windows.
class LiveWait
{
public:
    static void run(const std::function<void()>& work);
};

} // namespace platform
