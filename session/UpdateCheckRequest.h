#pragma once

#include <QByteArray>
#include <QString>

namespace session {

// The updater's question to the service (CommandType 2), sent once right after connecting.
struct UpdateCheckRequest
{
    QString clientMd5; // the client-validation value the service checks
    QString macAddress;
    QString version; // the updater's own version text

    // Compact JSON with its line feed. "StartUpFileName" is always "kavrenup.exe";
    // "LowestVersion" is the integer 0 here although the answer carries text.
    QByteArray toJson() const;
};

} // namespace session
