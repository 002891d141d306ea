#pragma once

#include <QString>

namespace account {

// The keys of "UserInfo.ini" beside the executable. Every read defaults to "0".
class UserSettings
{
public:
    explicit UserSettings(QString path);

    // "1": the user logged out or was displaced; the next start must not log in automatically.
    QString logOut() const;
    void setLogOut(const QString& value);
    QString tipCheck() const;
    void setTipCheck(const QString& value);
    QString cancelRemind() const;
    void setCancelRemind(const QString& value);
    // Id of the last pushed message shown to this user (section "<phone>PushID").
    QString pushId(const QString& phone) const;
    void setPushId(const QString& phone, const QString& id);
    // Written on every login attempt; nothing reads it.
    void setMip(const QString& value);

    const QString& path() const { return m_path; }

private:
    QString m_path;
};

} // namespace account
