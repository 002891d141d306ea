#pragma once

#include "session/UserRight.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>

namespace session {

// The logged-in user's data, taken from the login page's "Login" command by the login step.
// Plain data: the login step fills it, the login command builder, the account store, the user
// panel and the main window read it.
struct CurrentUser
{
    static constexpr int kClassCount = 5; // class ids 1 to 5

    QString id;
    QString phone; // the login identifier
    QString headImageUrl;
    QString coins;
    QString password;
    QString vipLevel; // the integer level as decimal text

    // Index 0 is class id 1.
    std::array<bool, kClassCount> classPresent {};
    std::array<bool, kClassCount> classJoined {};

    // The whole user-info text, kept when its "msgList" had at least one element.
    QByteArray pendingMessageList;
    bool hasPendingMessages = false;

    // Appended to on every login step.
    QList<UserRight> userRights;

    // Marks class id 1 to 5 present and joined or not; other ids are ignored.
    void setClass(int classId, bool joined);
    bool hasJoined(int classId) const;
};

} // namespace session
