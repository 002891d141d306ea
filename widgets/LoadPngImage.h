#pragma once

#include <QImage>

namespace widgets {

// Decodes the compiled-in picture `resourceId` (":/png/<resourceId>.png") into `image`, for
// window backgrounds, header bands and icons. The image's previous content is dropped first.
// Returns false when there is no such picture or it cannot be read; true otherwise, also when
// the data does not decode (the image then stays null). The pixels are left as decoded: no
// premultiplication (image buttons prepare their strips themselves, see ImageStrip).
bool LoadPngImage(QImage& image, int resourceId);

} // namespace widgets
