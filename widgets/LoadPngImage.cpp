#include "widgets/LoadPngImage.h"

#include "assets/Artwork.h"

#include <QFile>

namespace widgets {

bool LoadPngImage(QImage& image, int resourceId)
{
    image = QImage();
    QFile file(assets::Artwork::path(resourceId));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    image.loadFromData(file.readAll());
    return true;
}

} // namespace widgets
