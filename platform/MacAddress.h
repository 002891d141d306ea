#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace platform {

// The machine identity sent to the service: "%02X-%02X-%02X-%02X-%02X-%02X" of the first
// non-loopback interface the system lists, whatever its state; empty when there is none.
class MacAddress
{
public:
    static QString text();
    // The rule over a list of hardware addresses in system order (loopback already left out):
    // the first one is used, short addresses padded with zero bytes; empty list -> empty text.
    static QString fromAddresses(const QList<QByteArray>& hardwareAddresses);
    static QString format(const QByteArray& sixBytes);
};

} // namespace platform
