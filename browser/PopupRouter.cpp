#include "browser/PopupRouter.h"

#include "platform/DesktopOpen.h"

namespace browser {

PopupRouter::PopupRouter(std::function<bool()> overlayIsOpen, std::function<void(const QString&)> openOverlay)
    : m_overlayIsOpen(std::move(overlayIsOpen))
    , m_openOverlay(std::move(openOverlay))
{
}

void PopupRouter::route(const QString& url) const
{
    if (m_overlayIsOpen && m_openOverlay && m_overlayIsOpen())
        m_openOverlay(url);
    else
        platform::DesktopOpen::open(url);
}

} // namespace browser
