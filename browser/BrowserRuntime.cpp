#include "browser/BrowserRuntime.h"

#include "browser/ClientApp.h"
#include "platform/ServiceConfig.h"
#include "platform/Trace.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWebEngineProfile>

namespace browser {

BrowserRuntime::BrowserRuntime(const QString& cachePath, ScriptShell& shell, BrowserEvents* events,
                               double zoomFactor, QObject* parent)
    : QObject(parent)
    , m_profile(new QWebEngineProfile(QStringLiteral("kavren"), this))
    , m_events(events)
    , m_zoomFactor(zoomFactor)
    , m_serviceOrigin(QUrl(platform::ServiceConfig::baseUrl()))
    , m_postingShell(shell, this)
    , m_dispatcher(m_postingShell)
{
    m_profile->setPersistentStoragePath(cachePath);
    m_profile->setCachePath(cachePath);
    m_profile->setHttpAcceptLanguage(QStringLiteral("zh-CN"));
    ClientApp::install(*m_profile);
}

BrowserRuntime::~BrowserRuntime() = default;

bool BrowserRuntime::acceptsOrigin(const QUrl& securityOrigin) const
{
    const auto defaultPort = [](const QUrl& url) { return url.scheme() == QLatin1String("https") ? 443 : 80; };
    return securityOrigin.scheme() == m_serviceOrigin.scheme()
        && securityOrigin.host().compare(m_serviceOrigin.host(), Qt::CaseInsensitive) == 0
        && securityOrigin.port(defaultPort(securityOrigin)) == m_serviceOrigin.port(defaultPort(m_serviceOrigin));
}

QString BrowserRuntime::handleBridgeCall(const QUrl& securityOrigin, const QString& body)
{
    if (!acceptsOrigin(securityOrigin)) {
        platform::Trace::event(QStringLiteral("bridge-refused"), securityOrigin.toString());
        return BridgeAnswer::undefined(false).toTagged();
    }
    const QJsonObject call = QJsonDocument::fromJson(body.toUtf8()).object();
    const QString name = call.value(QLatin1String("n")).toString();
    if (name.isEmpty())
        return BridgeAnswer::undefined(false).toTagged();
    ScriptArgs args;
    const QJsonArray tagged = call.value(QLatin1String("a")).toArray();
    for (const QJsonValue& value : tagged)
        args.append(ScriptValue::fromTagged(value));
    return m_dispatcher.execute(name, args).toTagged();
}

} // namespace browser
