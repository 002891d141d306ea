// Machine identity, service addresses and the executable folder.
#include "platform/ExeDir.h"
#include "platform/HostLookup.h"
#include "platform/MacAddress.h"
#include "platform/ServiceConfig.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

TEST(MacAddress, FormatsFirstAddressUpperCaseWithDashes)
{
    const QList<QByteArray> addresses{QByteArray::fromHex("0a1bc2d3e4f5"), QByteArray::fromHex("001122334455")};
    EXPECT_EQ(platform::MacAddress::fromAddresses(addresses), QStringLiteral("0A-1B-C2-D3-E4-F5"));
}

TEST(MacAddress, EmptyWithoutAdapter)
{
    EXPECT_EQ(platform::MacAddress::fromAddresses({}), QString());
}

TEST(MacAddress, FirstAdapterWinsEvenWithoutAddress)
{
    // A listed adapter with a short address is still the one used, padded with zero bytes.
    const QList<QByteArray> addresses{QByteArray::fromHex("ab"), QByteArray::fromHex("001122334455")};
    EXPECT_EQ(platform::MacAddress::fromAddresses(addresses), QStringLiteral("AB-00-00-00-00-00"));
}

TEST(MacAddress, MachineTextIsEmptyOrSeventeenCharacters)
{
    const QString text = platform::MacAddress::text();
    if (!text.isEmpty()) {
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^([0-9A-F]{2}-){5}[0-9A-F]{2}$")).match(text).hasMatch())
            << text.toStdString();
    }
}

TEST(ServiceConfig, JoinsWithExactlyOneSlash)
{
    EXPECT_EQ(platform::ServiceConfig::joinUrl(QStringLiteral("https://host/"), QStringLiteral("Course/Index")),
              QStringLiteral("https://host/Course/Index"));
}

TEST(ServiceConfig, EnvironmentOverridesBaseUrlAndPort)
{
    qputenv("KAVREN_BASE_URL", "http://127.0.0.1:9999");
    qputenv("KAVREN_SESSION_PORT", "61234");
    EXPECT_EQ(platform::ServiceConfig::baseUrl(), QStringLiteral("http://127.0.0.1:9999/"));
    EXPECT_EQ(platform::ServiceConfig::pageUrl(QStringLiteral("UserCenter")),
              QStringLiteral("http://127.0.0.1:9999/UserCenter"));
    EXPECT_EQ(platform::ServiceConfig::sessionPort(), 61234);
    qputenv("KAVREN_SESSION_PORT", "not-a-port");
    EXPECT_EQ(platform::ServiceConfig::sessionPort(), 60001);
    qunsetenv("KAVREN_BASE_URL");
    qunsetenv("KAVREN_SESSION_PORT");
    EXPECT_TRUE(platform::ServiceConfig::baseUrl().endsWith(QLatin1Char('/')));
}

TEST(HostLookup, FallsBackWhenHostDoesNotResolve)
{
    EXPECT_EQ(platform::HostLookup::resolveOr(QStringLiteral("no-such-host.invalid"), QStringLiteral("10.1.2.3")),
              QStringLiteral("10.1.2.3"));
    EXPECT_EQ(platform::HostLookup::resolveOr(QStringLiteral("127.0.0.1"), QStringLiteral("10.1.2.3")),
              QStringLiteral("127.0.0.1"));
    EXPECT_EQ(platform::HostLookup::resolveOr(QString(), QStringLiteral("10.1.2.3")), QStringLiteral("10.1.2.3"));
}

TEST(ExeDir, CutsBeforeLastSeparator)
{
    EXPECT_EQ(platform::ExeDir::fromExecutablePath(QStringLiteral("/opt/kavren/kavrenbox")),
              QStringLiteral("/opt/kavren"));
    EXPECT_EQ(platform::ExeDir::fromExecutablePath(QStringLiteral("C:\\Kavren\\kavrenbox.exe")),
              QStringLiteral("C:\\Kavren"));
    EXPECT_EQ(platform::ExeDir::fromExecutablePath(QStringLiteral("kavrenbox")), QString());
}

TEST(ExeDir, RunningExecutableFolderHasNoTrailingSeparatorAndJoinsFiles)
{
    const QString dir = platform::ExeDir::path();
    ASSERT_FALSE(dir.isEmpty());
    EXPECT_FALSE(dir.endsWith(QLatin1Char('/')));
    EXPECT_EQ(platform::ExeDir::file(QStringLiteral("\\UserInfo.ini")), dir + QStringLiteral("/UserInfo.ini"));
    EXPECT_EQ(platform::ExeDir::file(QStringLiteral("cache")), dir + QStringLiteral("/cache"));
}

} // namespace
