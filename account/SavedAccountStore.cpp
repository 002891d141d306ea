#include "account/SavedAccountStore.h"

#include "session/CompactJson.h"
#include "session/CurrentUser.h"
#include "session/MemberReader.h"

#include <QFile>
#include <QSaveFile>

#include <json/json.h>

#include <algorithm>

namespace account {

namespace {

// A member read as text; anything but a string (or absent) reads as empty.
QString textMember(const Json::Value& object, const char* name)
{
    const Json::Value& v = object[name];
    return v.isString() ? QString::fromUtf8(v.asCString()) : QString();
}

double timeValue(const QString& loginTime)
{
    bool ok = false;
    const double value = loginTime.toDouble(&ok);
    return ok ? value : 0.0;
}

Json::Value toJson(const SavedAccount& a)
{
    Json::Value o(Json::objectValue);
    o["account"] = a.account.toStdString();
    o["password"] = a.password.toStdString();
    o["isKeepPwd"] = a.isKeepPwd.toStdString();
    o["isAutoLogin"] = a.isAutoLogin.toStdString();
    o["LoginTime"] = a.loginTime.toStdString();
    o["UserImgUrl"] = a.userImgUrl.toStdString();
    return o;
}

} // namespace

SavedAccountStore::SavedAccountStore(QString path)
    : m_path(std::move(path))
{
}

QList<SavedAccount> SavedAccountStore::parse(const QByteArray& fileContent)
{
    QList<SavedAccount> accounts;
    Json::Value root;
    if (!session::MemberReader::parse(fileContent, &root))
        return accounts;
    const Json::Value& list = root["userinfolist"];
    if (!list.isArray())
        return accounts;
    for (const Json::Value& entry : list) {
        if (!entry.isObject())
            continue;
        accounts.append(SavedAccount{textMember(entry, "account"), textMember(entry, "password"),
                                     textMember(entry, "isAutoLogin"), textMember(entry, "isKeepPwd"),
                                     textMember(entry, "LoginTime"), textMember(entry, "UserImgUrl")});
    }
    std::stable_sort(accounts.begin(), accounts.end(), [](const SavedAccount& a, const SavedAccount& b) {
        return timeValue(a.loginTime) > timeValue(b.loginTime);
    });
    return accounts;
}

void SavedAccountStore::load()
{
    QFile file(m_path);
    m_accounts = file.open(QIODevice::ReadOnly) ? parse(file.readAll()) : QList<SavedAccount>();
}

QString SavedAccountStore::loginTimeText(const QDateTime& time)
{
    const QDate d = time.date();
    const QTime t = time.time();
    return QString::asprintf("%4d%02d%02d%02d%02d%02d", d.year(), d.month(), d.day(), t.hour(), t.minute(),
                             t.second());
}

bool SavedAccountStore::save(const session::CurrentUser& user, const QString& keepPassword,
                             const QString& autoLogin, const QDateTime& now) const
{
    QList<SavedAccount> out;
    out.append(SavedAccount{user.phone, keepPassword == QLatin1String("1") ? user.password : QString(), autoLogin,
                            keepPassword, loginTimeText(now), user.headImageUrl});
    for (const SavedAccount& a : m_accounts) {
        if (a.account != user.phone)
            out.append(a);
    }
    return write(out);
}

bool SavedAccountStore::remove(const QString& account)
{
    const auto it = std::find_if(m_accounts.begin(), m_accounts.end(),
                                 [&](const SavedAccount& a) { return a.account == account; });
    if (it != m_accounts.end())
        m_accounts.erase(it);
    QList<SavedAccount> out;
    for (const SavedAccount& a : m_accounts) {
        if (a.account != account)
            out.append(a);
    }
    return write(out);
}

bool SavedAccountStore::write(const QList<SavedAccount>& accounts) const
{
    Json::Value list(Json::arrayValue);
    for (const SavedAccount& a : accounts)
        list.append(toJson(a));
    Json::Value root(Json::objectValue);
    root["userinfolist"] = list;

    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // Passwords may be in it: only the user may read it.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.write(session::CompactJson::write(root));
    return file.commit();
}

QByteArray SavedAccountStore::bindJson(const QList<SavedAccount>& accounts, const QString& loggedOut)
{
    Json::Value inner(Json::objectValue);
    inner["IsCancle"] = loggedOut.toStdString();
    if (accounts.isEmpty()) {
        inner["recentUser"] = Json::Value(Json::nullValue);
    } else {
        Json::Value recent(Json::arrayValue);
        for (const SavedAccount& a : accounts) {
            Json::Value o(Json::objectValue);
            o["account"] = a.account.toStdString();
            o["headImageUrl"] = a.userImgUrl.toStdString();
            o["isAutoLogin"] = a.isAutoLogin.toStdString();
            o["isKeepPwd"] = a.isKeepPwd.toStdString();
            o["password"] = a.password.toStdString();
            recent.append(o);
        }
        inner["recentUser"] = recent;
    }
    Json::Value root(Json::objectValue);
    root["UserInfoList"] = inner;
    return session::CompactJson::write(root);
}

} // namespace account
