#pragma once

#include <QString>

#include <functional>

namespace browser {

// Where an address a page wanted a new window for goes: into the overlay when it is open,
// otherwise to the user's default browser.
class PopupRouter
{
public:
    PopupRouter(std::function<bool()> overlayIsOpen, std::function<void(const QString&)> openOverlay);
    void route(const QString& url) const;

private:
    std::function<bool()> m_overlayIsOpen;
    std::function<void(const QString&)> m_openOverlay;
};

} // namespace browser
