#include "platform/ServiceConfig.h"

#include "config/Deployment.h"

#include <QtGlobal>

namespace platform {

namespace {
QString fromEnv(const char* name, const char* compiledIn)
{
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? QString::fromUtf8(compiledIn) : value;
}
} // namespace

QString ServiceConfig::versionText()
{
    return QString::fromUtf8(deployment::kVersionText);
}

QString ServiceConfig::serviceHost()
{
    return fromEnv("KAVREN_SERVICE_HOST", deployment::kServiceHost);
}

QString ServiceConfig::fallbackAddress()
{
    return QString::fromUtf8(deployment::kFallbackAddress);
}

QString ServiceConfig::baseUrl()
{
    QString url = fromEnv("KAVREN_BASE_URL", deployment::kBaseUrl);
    if (!url.endsWith(QLatin1Char('/')))
        url += QLatin1Char('/');
    return url;
}

quint16 ServiceConfig::sessionPort()
{
    bool ok = false;
    const int port = qEnvironmentVariableIntValue("KAVREN_SESSION_PORT", &ok);
    if (ok && port > 0 && port < 65536)
        return static_cast<quint16>(port);
    return static_cast<quint16>(deployment::kSessionPort);
}

QString ServiceConfig::supportSite()
{
    return fromEnv("KAVREN_SUPPORT_SITE", deployment::kSupportSite);
}

QString ServiceConfig::supportNumber()
{
    return QString::fromUtf8(deployment::kSupportNumber);
}

QString ServiceConfig::pageUrl(const QString& relativePath)
{
    return joinUrl(baseUrl(), relativePath);
}

QString ServiceConfig::joinUrl(const QString& baseUrl, const QString& relativePath)
{
    return baseUrl + relativePath;
}

} // namespace platform
