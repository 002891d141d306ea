#pragma once

#include "account/SavedAccount.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace session {
struct CurrentUser;
}

namespace account {

// "UserInfo.json": the accounts that logged in on this machine, most recent first. Reading is
// lenient (a missing or malformed file, or members of the wrong type, read as no accounts);
// writing replaces the file atomically and leaves it readable by the user only, since it may
// hold passwords.
class SavedAccountStore
{
public:
    explicit SavedAccountStore(QString path);

    // Reads the file into the loaded list, newest login first.
    void load();
    const QList<SavedAccount>& accounts() const { return m_accounts; }

    // Writes the current account first (with the time now), then every loaded account whose
    // "account" differs from it. The loaded list itself does not change.
    bool save(const session::CurrentUser& user, const QString& keepPassword, const QString& autoLogin,
              const QDateTime& now = QDateTime::currentDateTime()) const;
    // Removes the first loaded account with exactly this text and rewrites the file without
    // any account of that text.
    bool remove(const QString& account);

    // The list the login page's "bind" receives: {"UserInfoList":{"IsCancle":…,"recentUser":[…]}}
    // ("recentUser" is null without accounts), compact, members in name order.
    static QByteArray bindJson(const QList<SavedAccount>& accounts, const QString& loggedOut);
    static QList<SavedAccount> parse(const QByteArray& fileContent);
    static QString loginTimeText(const QDateTime& time);

private:
    bool write(const QList<SavedAccount>& accounts) const;

    QString m_path;
    QList<SavedAccount> m_accounts;
};

} // namespace account
