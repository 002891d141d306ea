#pragma once

#include "session/PushMessage.h"

#include <QByteArray>
#include <QList>

namespace session {

enum class ReadResult;

// A PushMessages command (CommandType 4) from the service.
struct PushMessages
{
    int commandType = 0;
    QList<PushMessage> messages;

    // Reads "CommandType" and every element of "MessageList" (absent or null: no message).
    // A member of the wrong type anywhere fails the whole command; the messages read up to the
    // failing element stay in the list.
    ReadResult read(const QByteArray& payload);
};

} // namespace session
