// The local user files: saved accounts, the login page's account list, the clear-cache
// marker and the user info the login page hands over.
#include "account/CacheClearMarker.h"
#include "account/SavedAccountStore.h"
#include "account/UserInfoReader.h"
#include "account/UserSettings.h"
#include "session/CurrentUser.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using account::SavedAccount;
using account::SavedAccountStore;

class SavedAccountsTest : public ::testing::Test
{
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("UserInfo.json")); }
    QByteArray content() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeContent(const QByteArray& text)
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    static session::CurrentUser user(const char* phone, const char* password = "pw")
    {
        session::CurrentUser u;
        u.phone = QString::fromLatin1(phone);
        u.password = QString::fromLatin1(password);
        u.headImageUrl = QStringLiteral("http://img/") + u.phone;
        return u;
    }
    // One login: the window loads the file at its start, the login step saves.
    void login(const char* phone, const QDateTime& when, const char* keep = "1")
    {
        SavedAccountStore store(path());
        store.load();
        ASSERT_TRUE(store.save(user(phone), QString::fromLatin1(keep), QStringLiteral("0"), when));
    }
    QTemporaryDir m_dir;
};

TEST_F(SavedAccountsTest, LoginsABAGiveAThenB)
{
    const QDateTime t0(QDate(2026, 12, 1), QTime(9, 0, 0));
    login("A", t0);
    login("B", t0.addSecs(60));
    login("A", t0.addSecs(120));
    EXPECT_EQ(content(), QByteArray("{\"userinfolist\":[{\"LoginTime\":\"20261201090200\",\"UserImgUrl\":\"http://img/A\","
                                    "\"account\":\"A\",\"isAutoLogin\":\"0\",\"isKeepPwd\":\"1\",\"password\":\"pw\"},"
                                    "{\"LoginTime\":\"20261201090100\",\"UserImgUrl\":\"http://img/B\",\"account\":\"B\","
                                    "\"isAutoLogin\":\"0\",\"isKeepPwd\":\"1\",\"password\":\"pw\"}]}\n"));
    SavedAccountStore store(path());
    store.load();
    ASSERT_EQ(store.accounts().size(), 2);
    EXPECT_EQ(store.accounts().at(0).account, QStringLiteral("A"));
    EXPECT_EQ(store.accounts().at(1).account, QStringLiteral("B"));
}

TEST_F(SavedAccountsTest, PasswordOnlyWhenKeptAndFileIsPrivate)
{
    login("A", QDateTime::currentDateTime(), "0");
    SavedAccountStore store(path());
    store.load();
    ASSERT_EQ(store.accounts().size(), 1);
    EXPECT_EQ(store.accounts().first().password, QString());
    EXPECT_EQ(store.accounts().first().isKeepPwd, QStringLiteral("0"));
    EXPECT_EQ(QFile::permissions(path()) & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
              QFile::Permissions());
}

TEST_F(SavedAccountsTest, OnlyTheCurrentAccountIsDeduplicated)
{
    writeContent("{\"userinfolist\":[{\"account\":\"B\",\"LoginTime\":\"2\"},{\"account\":\"B\",\"LoginTime\":\"1\"},"
                 "{\"account\":\"A\",\"LoginTime\":\"3\"}]}");
    login("A", QDateTime(QDate(2026, 1, 1), QTime(0, 0)));
    SavedAccountStore store(path());
    store.load();
    QStringList accounts;
    for (const SavedAccount& a : store.accounts())
        accounts.append(a.account);
    EXPECT_EQ(accounts, (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("B")}));
}

TEST_F(SavedAccountsTest, NonDigitTimesLoadAndSortAfterRealTimes)
{
    writeContent("{\"userinfolist\":[{\"account\":\"x\",\"LoginTime\":\"abc\"},{\"account\":\"y\",\"LoginTime\":\"\"},"
                 "{\"account\":\"z\",\"LoginTime\":\"20260101000000\"}]}");
    SavedAccountStore store(path());
    store.load();
    ASSERT_EQ(store.accounts().size(), 3);
    EXPECT_EQ(store.accounts().first().account, QStringLiteral("z"));
}

TEST_F(SavedAccountsTest, RemovingAnUnknownAccountRewritesUnchanged)
{
    writeContent("{ \"userinfolist\" : [ { \"account\" : \"A\", \"password\" : \"p\", \"isKeepPwd\" : \"1\", "
                 "\"isAutoLogin\" : \"1\", \"LoginTime\" : \"5\", \"UserImgUrl\" : \"u\" } ] }");
    SavedAccountStore store(path());
    store.load();
    ASSERT_TRUE(store.remove(QStringLiteral("nobody")));
    EXPECT_EQ(content(), QByteArray("{\"userinfolist\":[{\"LoginTime\":\"5\",\"UserImgUrl\":\"u\",\"account\":\"A\","
                                    "\"isAutoLogin\":\"1\",\"isKeepPwd\":\"1\",\"password\":\"p\"}]}\n"));
    ASSERT_TRUE(store.remove(QStringLiteral("A")));
    EXPECT_EQ(content(), QByteArray("{\"userinfolist\":[]}\n"));
    EXPECT_TRUE(store.accounts().isEmpty());
}

struct MalformedRow
{
    const char* name;
    const char* content;
    int accounts;
};

void PrintTo(const MalformedRow& row, std::ostream* os)
{
    *os << row.name;
}

class MalformedAccounts : public SavedAccountsTest, public ::testing::WithParamInterface<MalformedRow>
{
};

TEST_P(MalformedAccounts, ReadAsFewerOrNoAccounts)
{
    writeContent(GetParam().content);
    SavedAccountStore store(path());
    store.load();
    EXPECT_EQ(store.accounts().size(), GetParam().accounts);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MalformedAccounts,
    ::testing::Values(MalformedRow{"notJson", "{\"userinfolist\":[", 0}, MalformedRow{"rootArray", "[1,2]", 0},
                      MalformedRow{"rootString", "\"x\"", 0}, MalformedRow{"listIsObject", "{\"userinfolist\":{}}", 0},
                      MalformedRow{"listNull", "{\"userinfolist\":null}", 0},
                      MalformedRow{"elementNotObject", "{\"userinfolist\":[3,{\"account\":\"A\"}]}", 1},
                      MalformedRow{"memberArray", "{\"userinfolist\":[{\"account\":[1],\"password\":{}}]}", 1},
                      MalformedRow{"empty", "", 0}),
    [](const ::testing::TestParamInfo<MalformedRow>& row) { return std::string(row.param.name); });

TEST(BindJson, AlphabeticalMembersAndNullWithoutAccounts)
{
    EXPECT_EQ(SavedAccountStore::bindJson({}, QStringLiteral("1")),
              QByteArray("{\"UserInfoList\":{\"IsCancle\":\"1\",\"recentUser\":null}}\n"));
    const QList<SavedAccount> accounts{
        SavedAccount{QStringLiteral("A"), QStringLiteral("p"), QStringLiteral("1"), QStringLiteral("1"),
                     QStringLiteral("9"), QStringLiteral("http://h/a.png")},
        SavedAccount{QStringLiteral("B"), QString(), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("8"),
                     QString()}};
    EXPECT_EQ(SavedAccountStore::bindJson(accounts, QStringLiteral("0")),
              QByteArray("{\"UserInfoList\":{\"IsCancle\":\"0\",\"recentUser\":[{\"account\":\"A\",\"headImageUrl\":"
                         "\"http://h/a.png\",\"isAutoLogin\":\"1\",\"isKeepPwd\":\"1\",\"password\":\"p\"},{\"account\":"
                         "\"B\",\"headImageUrl\":\"\",\"isAutoLogin\":\"0\",\"isKeepPwd\":\"0\",\"password\":\"\"}]}}\n"));
}

struct MarkerRow
{
    const char* name;
    const char* content;
    bool clears;
};

void PrintTo(const MarkerRow& row, std::ostream* os)
{
    *os << row.name;
}

class ClearCacheMarker : public ::testing::TestWithParam<MarkerRow>
{
};

TEST_P(ClearCacheMarker, FirstWordExactlyTrue)
{
    QTemporaryDir dir;
    const QString cache = dir.filePath(QStringLiteral("cache"));
    ASSERT_TRUE(QDir().mkpath(cache + QStringLiteral("/Default/deep")));
    QFile inner(cache + QStringLiteral("/Default/deep/file"));
    ASSERT_TRUE(inner.open(QIODevice::WriteOnly));
    inner.write("x");
    inner.close();
    QFile::setPermissions(inner.fileName(), QFile::ReadOwner); // read-only files go too
    const QString markerPath = dir.filePath(QStringLiteral("clrCache.txt"));
    QFile marker(markerPath);
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.write(GetParam().content);
    marker.close();

    EXPECT_EQ(account::CacheClearMarker::consume(markerPath, cache), GetParam().clears);
    EXPECT_EQ(QFile::exists(cache), !GetParam().clears);
    EXPECT_EQ(QFile::exists(markerPath), !GetParam().clears);
}

INSTANTIATE_TEST_SUITE_P(Table, ClearCacheMarker,
                         ::testing::Values(MarkerRow{"exact", "true", true}, MarkerRow{"leadingBlank", " true", true},
                                           MarkerRow{"trailingWords", "true please\n", true},
                                           MarkerRow{"capital", "True", false}, MarkerRow{"longer", "truex", false},
                                           MarkerRow{"empty", "", false}, MarkerRow{"other", "false", false}),
                         [](const ::testing::TestParamInfo<MarkerRow>& row) { return std::string(row.param.name); });

TEST(ClearCacheMarkerFile, MissingMarkerDoesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("cache"))));
    EXPECT_FALSE(account::CacheClearMarker::consume(dir.filePath(QStringLiteral("clrCache.txt")),
                                                    dir.filePath(QStringLiteral("cache"))));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("cache"))));
}

TEST(UserInfo, ReadsDataClassesMessagesAndRights)
{
    session::CurrentUser user;
    const QByteArray info = "{\"userInfo\":{\"Data\":{\"Id\":\"u1\",\"Phone\":\"13800000000\",\"HeadImageUrl\":\"h\","
                            "\"Coins\":120,\"Password\":\"pw\",\"VipLevel\":3,\"ClassInfo\":[{\"Id\":2,\"HasJoined\":true},"
                            "{\"Id\":7,\"HasJoined\":true},{\"Id\":4,\"HasJoined\":false}]}},"
                            "\"msgList\":[{\"Id\":1}],\"userRight\":[{\"Name\":\"n\",\"Action\":2,\"LinkUrl\":\"l\"}]}";
    ASSERT_TRUE(account::UserInfoReader::read(info, user));
    EXPECT_EQ(user.id, QStringLiteral("u1"));
    EXPECT_EQ(user.phone, QStringLiteral("13800000000"));
    EXPECT_EQ(user.coins, QStringLiteral("120"));
    EXPECT_EQ(user.vipLevel, QStringLiteral("3"));
    // Ids 2 and 7 joined: class 2 only; class 4 present but not joined.
    EXPECT_TRUE(user.hasJoined(2));
    EXPECT_FALSE(user.hasJoined(4));
    EXPECT_TRUE(user.classPresent[3]);
    EXPECT_FALSE(user.hasJoined(1) || user.hasJoined(3) || user.hasJoined(5));
    EXPECT_TRUE(user.hasPendingMessages);
    EXPECT_EQ(user.pendingMessageList, info);
    ASSERT_EQ(user.userRights.size(), 1);
    EXPECT_EQ(user.userRights.first().action, 2);

    // A second step: rights are appended, an empty message list clears the flag, classes renew.
    ASSERT_TRUE(account::UserInfoReader::read("{\"userInfo\":{\"Data\":{\"Phone\":\"139\"}},\"msgList\":[],"
                                              "\"userRight\":[{\"Name\":\"m\",\"Action\":1,\"LinkUrl\":\"k\"}]}",
                                              user));
    EXPECT_EQ(user.phone, QStringLiteral("139"));
    EXPECT_TRUE(user.id.isEmpty()) << "an absent member reads as empty text";
    EXPECT_FALSE(user.hasPendingMessages);
    EXPECT_EQ(user.userRights.size(), 2);
    EXPECT_FALSE(user.hasJoined(2));
}

TEST(UserInfo, NotJsonChangesNothingAndWrongTypesAreSkipped)
{
    session::CurrentUser user;
    user.phone = QStringLiteral("old");
    EXPECT_FALSE(account::UserInfoReader::read("not json", user));
    EXPECT_EQ(user.phone, QStringLiteral("old"));
    ASSERT_TRUE(account::UserInfoReader::read(
        "{\"userInfo\":{\"Data\":{\"Phone\":[1],\"VipLevel\":\"3\",\"Coins\":\"7\",\"ClassInfo\":[{\"Id\":\"1\","
        "\"HasJoined\":true},{\"Id\":3,\"HasJoined\":1}]}},\"userRight\":[{\"Name\":\"n\",\"Action\":\"x\"}]}",
        user));
    EXPECT_EQ(user.phone, QStringLiteral("old"));
    EXPECT_EQ(user.coins, QStringLiteral("7"));
    EXPECT_TRUE(user.vipLevel.isEmpty());
    EXPECT_FALSE(user.hasJoined(1));
    EXPECT_TRUE(user.hasJoined(3)) << "a number read as a boolean is true when not 0";
    EXPECT_TRUE(user.userRights.isEmpty());
}

TEST(UserSettingsFile, KeysOfTheIniFile)
{
    QTemporaryDir dir;
    account::UserSettings settings(dir.filePath(QStringLiteral("UserInfo.ini")));
    EXPECT_EQ(settings.logOut(), QStringLiteral("0"));
    EXPECT_EQ(settings.pushId(QStringLiteral("138")), QStringLiteral("0"));
    settings.setLogOut(QStringLiteral("1"));
    settings.setPushId(QStringLiteral("138"), QStringLiteral("42"));
    settings.setMip(QStringLiteral("0A-1B-2C-3D-4E-5F"));
    settings.setCancelRemind(QStringLiteral("1"));
    QFile f(settings.path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("[LogOut]\nLogOut=1\n[138PushID]\nPushID=42\n[MIP]\nmip=0A-1B-2C-3D-4E-5F\n"
                                      "[SystemSet]\nCancelRemind=1\n"));
    EXPECT_EQ(settings.tipCheck(), QStringLiteral("0"));
    EXPECT_EQ(settings.cancelRemind(), QStringLiteral("1"));
}

} // namespace
