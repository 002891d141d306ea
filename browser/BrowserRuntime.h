#pragma once

#include "browser/ClientV8ExtensionHandler.h"
#include "browser/PostingScriptShell.h"

#include <QObject>
#include <QString>
#include <QUrl>

class QWebEngineProfile;

namespace browser {

class BrowserEvents;

// The browser runtime of the process: one shared profile (cookies from the login page reach
// the main window's pages) with its storage under the cache folder, language zh-CN, the bridge
// loader installed, and the command dispatcher every page's bridge calls reach. The shell
// creates it once, before the first browser.
class BrowserRuntime : public QObject
{
    Q_OBJECT
public:
    BrowserRuntime(const QString& cachePath, ScriptShell& shell, BrowserEvents* events, double zoomFactor,
                   QObject* parent = nullptr);
    ~BrowserRuntime() override;

    QWebEngineProfile* profile() const { return m_profile; }
    BrowserEvents* events() const { return m_events; }
    double zoomFactor() const { return m_zoomFactor; }

    // Only frames of the service's own origin reach the commands.
    bool acceptsOrigin(const QUrl& securityOrigin) const;
    // Runs one bridge call: the tagged JSON answer text, or undefined for a foreign origin or
    // a malformed call.
    QString handleBridgeCall(const QUrl& securityOrigin, const QString& body);

private:
    QWebEngineProfile* m_profile;
    BrowserEvents* m_events;
    double m_zoomFactor;
    QUrl m_serviceOrigin;
    PostingScriptShell m_postingShell;
    ClientV8ExtensionHandler m_dispatcher;
};

} // namespace browser
