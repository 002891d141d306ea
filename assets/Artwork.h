#pragma once

#include <QString>

namespace assets {

// The artwork compiled into the programs: PNG pictures and image strips under ":/png/<number>.png".
class Artwork
{
public:
    // Registers the compiled-in pictures with Qt's resource system. The pictures live in a
    // static library, whose registration would otherwise be dropped by the linker; every reader
    // calls this first. Safe to call any number of times.
    static void ensureRegistered();

    // The resource path of picture `number`, e.g. ":/png/149.png" (registers the pictures).
    static QString path(int number);
};

} // namespace assets
