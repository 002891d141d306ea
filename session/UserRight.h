#pragma once

#include <QString>

namespace session {

// One of the user's links, as the login step reads it from the user info ("userRight").
struct UserRight
{
    QString name;
    int action = 0;
    QString linkUrl;
};

} // namespace session
