#include "platform/MacAddress.h"

#include <QNetworkInterface>

namespace platform {

QString MacAddress::text()
{
    QList<QByteArray> addresses;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : interfaces) {
        if (iface.flags().testFlag(QNetworkInterface::IsLoopBack) || iface.type() == QNetworkInterface::Loopback)
            continue;
        // "aa:bb:cc:dd:ee:ff" -> raw bytes
        const QString hw = iface.hardwareAddress();
        QByteArray bytes = QByteArray::fromHex(hw.toLatin1().replace(':', QByteArray()));
        addresses.append(bytes);
    }
    return fromAddresses(addresses);
}

QString MacAddress::fromAddresses(const QList<QByteArray>& hardwareAddresses)
{
    if (hardwareAddresses.isEmpty())
        return {};
    QByteArray first = hardwareAddresses.first().left(6);
    while (first.size() < 6)
        first.append('\0');
    return format(first);
}

QString MacAddress::format(const QByteArray& sixBytes)
{
    QString out;
    for (int i = 0; i < 6; ++i) {
        if (i > 0)
            out += QLatin1Char('-');
        const auto byte = static_cast<unsigned char>(i < sixBytes.size() ? sixBytes.at(i) : 0);
        out += QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    }
    return out;
}

} // namespace platform
