#pragma once

#include <QString>

namespace account {

// One account that has logged in on this machine, as "UserInfo.json" keeps it.
struct SavedAccount
{
    QString account;     // the phone number
    QString password;    // only when isKeepPwd is "1"
    QString isAutoLogin; // "1" or "0"
    QString isKeepPwd;   // "1" or "0"
    QString loginTime;   // "%4d%02d%02d%02d%02d%02d", local time
    QString userImgUrl;

    bool operator==(const SavedAccount& other) const
    {
        return account == other.account && password == other.password && isAutoLogin == other.isAutoLogin
            && isKeepPwd == other.isKeepPwd && loginTime == other.loginTime && userImgUrl == other.userImgUrl;
    }
};

} // namespace account
