#pragma once

namespace shell {

// The shell's application object: installs the last-chance handler, then runs the main
// dialog for the life of the process.
class CPelmoraApp
{
public:
    // Returns the process exit code.
    int initInstance();
};

} // namespace shell
