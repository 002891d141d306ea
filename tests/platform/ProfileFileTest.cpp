#include "platform/ProfileFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

using platform::ProfileFile;

class ProfileFileTest : public ::testing::Test
{
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("UserInfo.ini")); }
    void writeRaw(const QByteArray& text)
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QByteArray readRaw() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir m_dir;
};

TEST_F(ProfileFileTest, MissingFileReadsDefault)
{
    EXPECT_EQ(ProfileFile::read(path(), QStringLiteral("LogOut"), QStringLiteral("LogOut")), QStringLiteral("0"));
    EXPECT_EQ(ProfileFile::read(path(), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("x")),
              QStringLiteral("x"));
}

TEST_F(ProfileFileTest, LongValueReadsBackAsNinetyNineCharacters)
{
    const QString value(150, QLatin1Char('v'));
    ASSERT_TRUE(ProfileFile::write(path(), QStringLiteral("S"), QStringLiteral("K"), value));
    EXPECT_EQ(ProfileFile::read(path(), QStringLiteral("S"), QStringLiteral("K")), value.left(99));
}

TEST_F(ProfileFileTest, SectionAndKeyIgnoreCaseAndBlanks)
{
    writeRaw("[SystemSet]\r\n  TipCheck = 1  \r\nCancelRemind=\"1\"\r\n");
    EXPECT_EQ(ProfileFile::read(path(), QStringLiteral("systemset"), QStringLiteral("TIPCHECK")), QStringLiteral("1"));
    EXPECT_EQ(ProfileFile::read(path(), QStringLiteral("SystemSet"), QStringLiteral("CancelRemind")),
              QStringLiteral("1"));
    EXPECT_EQ(ProfileFile::read(path(), QStringLiteral("SystemSet"), QStringLiteral("Missing")), QStringLiteral("0"));
    EXPECT_EQ(ProfileFile::read(path(), QStringLiteral("Other"), QStringLiteral("TipCheck")), QStringLiteral("0"));
}

TEST_F(ProfileFileTest, WriteKeepsOtherSectionsAndLines)
{
    writeRaw("; kept comment\n[LogOut]\nLogOut=0\n\n[SystemSet]\nTipCheck=1\nCancelRemind=0\n[13800000000PushID]\nPushID=42\n");
    ASSERT_TRUE(ProfileFile::write(path(), QStringLiteral("logout"), QStringLiteral("LOGOUT"), QStringLiteral("1")));
    ASSERT_TRUE(ProfileFile::write(path(), QStringLiteral("SystemSet"), QStringLiteral("New"), QStringLiteral("x")));
    ASSERT_TRUE(ProfileFile::write(path(), QStringLiteral("MIP"), QStringLiteral("mip"), QString()));
    EXPECT_EQ(readRaw(), QByteArray("; kept comment\n[LogOut]\nLOGOUT=1\n\n[SystemSet]\nTipCheck=1\nCancelRemind=0\n"
                                    "New=x\n[13800000000PushID]\nPushID=42\n[MIP]\nmip=\n"));
    EXPECT_EQ(ProfileFile::read(path(), QStringLiteral("LogOut"), QStringLiteral("LogOut")), QStringLiteral("1"));
    EXPECT_EQ(ProfileFile::read(path(), QStringLiteral("MIP"), QStringLiteral("mip")), QString());
}

TEST_F(ProfileFileTest, WriteCreatesFileAndLeavesNoTemporaries)
{
    ASSERT_TRUE(ProfileFile::write(path(), QStringLiteral("url"), QStringLiteral("url"), QStringLiteral("http://a/b")));
    EXPECT_EQ(readRaw(), QByteArray("[url]\nurl=http://a/b\n"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("UserInfo.ini")});
}

TEST_F(ProfileFileTest, WriteIntoUnwritableFolderFails)
{
    EXPECT_FALSE(ProfileFile::write(m_dir.filePath(QStringLiteral("missing/dir/x.ini")), QStringLiteral("a"),
                                    QStringLiteral("b"), QStringLiteral("c")));
}

} // namespace

namespace {

// Random files, random writes: a write reads back as written, and every other key keeps the
// value it had; no input makes the reader or writer fail.
TEST(ProfileFileProperties, WriteReadsBackAndKeepsOtherKeys)
{
    std::mt19937 random(20261211);
    const QStringList names{QStringLiteral("LogOut"), QStringLiteral("logout"), QStringLiteral("SystemSet"),
                            QStringLiteral("MIP"), QStringLiteral("138PushID"), QStringLiteral("url")};
    const QStringList keys{QStringLiteral("LogOut"), QStringLiteral("TipCheck"), QStringLiteral("mip"),
                           QStringLiteral("PushID"), QStringLiteral("url")};
    const QStringList junk{QStringLiteral("; comment"), QString(), QStringLiteral("[broken"), QStringLiteral("=x"),
                           QStringLiteral("no equals"), QStringLiteral("  [SystemSet]  "), QStringLiteral("\r")};
    auto pick = [&](const QStringList& list) { return list.at(static_cast<int>(random() % list.size())); };
    for (int round = 0; round < 500; ++round) {
        QString text;
        const int lines = static_cast<int>(random() % 12);
        for (int i = 0; i < lines; ++i) {
            switch (random() % 3) {
            case 0:
                text += QLatin1Char('[') + pick(names) + QLatin1String("]\n");
                break;
            case 1:
                text += pick(keys) + QLatin1Char('=') + QString::number(random() % 1000) + QLatin1Char('\n');
                break;
            default:
                text += pick(junk) + QLatin1Char('\n');
            }
        }
        const QString section = pick(names);
        const QString key = pick(keys);
        const QString value = QString::number(random());
        // What every other section/key pair read before the write.
        QList<QPair<QPair<QString, QString>, QString>> before;
        for (const QString& s : names) {
            for (const QString& k : keys) {
                if (s.compare(section, Qt::CaseInsensitive) != 0 || k.compare(key, Qt::CaseInsensitive) != 0)
                    before.append({{s, k}, ProfileFile::readFromText(text, s, k, QStringLiteral("<none>"))});
            }
        }
        const QString written = ProfileFile::writeToText(text, section, key, value);
        ASSERT_EQ(ProfileFile::readFromText(written, section, key, QStringLiteral("<none>")), value)
            << text.toStdString();
        for (const auto& [where, old] : before) {
            ASSERT_EQ(ProfileFile::readFromText(written, where.first, where.second, QStringLiteral("<none>")), old)
                << "round " << round << " " << where.first.toStdString() << "/" << where.second.toStdString()
                << "\n" << text.toStdString();
        }
    }
}

} // namespace
