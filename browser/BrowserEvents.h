#pragma once

#include <QString>

namespace browser {

class ClientHandler;

// What the browsers report to the window that owns the page browsers (the main window).
class BrowserEvents
{
public:
    virtual ~BrowserEvents() = default;
    // A main frame finished loading (whatever the outcome), with the address that loaded.
    virtual void onPageLoaded(ClientHandler* handler, const QString& url) = 0;
    // A page asked for a new window; no window is ever opened for it.
    virtual void onPopup(const QString& url) = 0;
};

} // namespace browser
