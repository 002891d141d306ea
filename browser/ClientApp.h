#pragma once

#include <QList>
#include <QString>

class QWebEngineProfile;

namespace browser {

// One native function of a generated extension: the script-visible name, the native function
// it reaches (the same name) and its declared parameter list ("param", "a,b", …, or empty).
struct ExtensionEntry
{
    QString name;
    QString nativeName;
    QString parameters;
};

// Makes the native functions visible to page script. The two extension texts ("v8/app" and the
// generated "v8/pm") are kept exactly as the pages know them; a small loader injected into the
// main world of every frame, before any page script runs, defines the synchronous bridge (a
// prompt() carrying our marker, answered by KavrenPage), binds the window functions
// CB_CustomFunction, ExJs and CB_ExJsWithContext, and runs both extension texts with each
// `native function F();` declaration turned into a call of the bridge.
class ClientApp
{
public:
    // Chromium cuts a dialog's message at 10240 characters; a bridge call longer than this many
    // characters is sent as several prompt() messages (marker + 'P' part…, marker + 'E' last part;
    // a call in one message is marker + 'C').
    static constexpr int kBridgeChunkSize = 8000;

    static QList<ExtensionEntry> commandTable();
    static QString appExtensionSource();
    static QString generateExtension(const QString& objectName, const QList<ExtensionEntry>& entries);
    static QString pmExtensionSource();
    // The text before the JSON body of every bridge call's prompt message.
    static QString bridgeMarker();
    // Turns each `native function F();` of an extension text into a function that forwards
    // its arguments to the bridge.
    static QString bindNativeFunctions(const QString& extensionSource);
    // The whole injected script.
    static QString loaderScript();
    // Installs the loader into every page of the profile (all frames, document creation).
    static void install(QWebEngineProfile& profile);
};

} // namespace browser
