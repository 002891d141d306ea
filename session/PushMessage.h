#pragma once

#include <QString>

namespace session {

// One element of a PushMessages command's "MessageList".
struct PushMessage
{
    int id = 0;
    QString title;
    QString content;
    QString link;
    int type = 0;
    QString typeName;
    int range = 0;
    QString rangeName;
    QString userPhone;
    QString date;
};

} // namespace session
