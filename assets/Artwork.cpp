#include "assets/Artwork.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void registerArtworkResources()
{
    Q_INIT_RESOURCE(artwork);
}

namespace assets {

void Artwork::ensureRegistered()
{
    static const bool registered = [] {
        registerArtworkResources();
        return true;
    }();
    Q_UNUSED(registered);
}

QString Artwork::path(int number)
{
    ensureRegistered();
    return QStringLiteral(":/png/") + QString::number(number) + QStringLiteral(".png");
}

} // namespace assets
