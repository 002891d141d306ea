#pragma once

#include <QByteArray>
#include <QString>

namespace session {

enum class ReadResult;

// The service's answer to the update check, as the updater keeps it.
struct UpdateCheckAnswer
{
    QString clientMd5;
    QString mainFileName;
    QString updateDate;
    QString version;
    QString updateLog;
    QString updateUrl;
    QString lowestVersion;
    bool validateResult = false;
    int commandType = 0;
    QString jsonData;

    // How many members the last read() took, in the order above. The updater stores
    // "UpdateUrl" as soon as it is read, so it looks for at least kMembersThroughUpdateUrl
    // even when a later member failed.
    int membersRead = 0;
    static constexpr int kMembersThroughUpdateUrl = 6;
    static constexpr int kMemberCount = 10;

    // Reads the answer's members in the order above. A payload that is not a JSON object leaves
    // every member as it was; a member of the wrong type stops the read there (the members
    // read before it keep the answer's values).
    ReadResult read(const QByteArray& payload);
};

} // namespace session
