#include "platform/HostLookup.h"

#include "platform/ServiceConfig.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

namespace platform {

QString HostLookup::firstIPv4(const QString& host)
{
    if (host.isEmpty())
        return {};
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    if (::getaddrinfo(host.toUtf8().constData(), nullptr, &hints, &result) != 0 || !result)
        return {};
    QString text;
    for (const addrinfo* it = result; it; it = it->ai_next) {
        if (it->ai_family != AF_INET)
            continue;
        char buffer[INET_ADDRSTRLEN] = {};
        const auto* in = reinterpret_cast<const sockaddr_in*>(it->ai_addr);
        if (::inet_ntop(AF_INET, &in->sin_addr, buffer, sizeof(buffer))) {
            text = QString::fromLatin1(buffer);
            break;
        }
    }
    ::freeaddrinfo(result);
    return text;
}

QString HostLookup::resolveOr(const QString& host, const QString& fallback)
{
    const QString address = firstIPv4(host);
    return address.isEmpty() ? fallback : address;
}

QString HostLookup::serviceAddress()
{
    return resolveOr(ServiceConfig::serviceHost(), ServiceConfig::fallbackAddress());
}

} // namespace platform
