#pragma once

#include <QString>

namespace platform {

class HostLookup
{
public:
    // Dotted text of the first IPv4 address of host (blocking lookup); empty when it does not resolve.
    static QString firstIPv4(const QString& host);
    // firstIPv4(host), or fallback when the host does not resolve. No message either way.
    static QString resolveOr(const QString& host, const QString& fallback);
    // The service address both programs connect to.
    static QString serviceAddress();
};

} // namespace platform
