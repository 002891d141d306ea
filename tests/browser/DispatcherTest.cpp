// The whole command vocabulary against a recording shell: every named command and every
// multiplexed CB_CustomFunction row, plus the argument accessors.
#include "browser/ClientV8ExtensionHandler.h"
#include "platform/ServiceConfig.h"
#include "tests/browser/FakeScriptShell.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using browser::BridgeAnswer;
using browser::ClientV8ExtensionHandler;
using browser::ScriptArgs;
using browser::ScriptValue;

ScriptValue S(const char* text)
{
    return ScriptValue::string(QString::fromUtf8(text));
}
ScriptValue N(double value)
{
    return ScriptValue::number(value);
}
ScriptValue B(bool value)
{
    return ScriptValue::boolean(value);
}
const ScriptValue U = ScriptValue::undefined();
const ScriptValue L = ScriptValue::null();

struct Row
{
    const char* name;
    const char* command;
    ScriptArgs args;
    QStringList calls;
    BridgeAnswer::Kind answer = BridgeAnswer::Kind::Undefined;
    bool handled = false;
};

void PrintTo(const Row& row, std::ostream* os)
{
    *os << row.name;
}

class DispatcherTable : public ::testing::TestWithParam<Row>
{
};

TEST_P(DispatcherTable, DoesWhatTheRowSays)
{
    const Row& row = GetParam();
    FakeScriptShell shell;
    ClientV8ExtensionHandler dispatcher(shell);
    const BridgeAnswer answer = dispatcher.execute(QString::fromUtf8(row.command), row.args);
    EXPECT_EQ(shell.calls, row.calls);
    EXPECT_EQ(answer.kind, row.answer);
    EXPECT_EQ(answer.handled, row.handled);
}

const QString base = platform::ServiceConfig::baseUrl();

// clang-format off
INSTANTIATE_TEST_SUITE_P(Named, DispatcherTable, ::testing::Values(
    Row{"ShowMessageText", "ShowMessage", {S("W10=")}, {QStringLiteral("showScriptMessages(W10=)")}},
    Row{"ShowMessageEmpty", "ShowMessage", {S("")}, {}},
    Row{"ShowMessageUndefined", "ShowMessage", {U}, {}},
    Row{"ShowMessageTwoArgs", "ShowMessage", {S("a"), S("b")}, {}},
    Row{"ClosePelmora", "ClosePelmora", {}, {QStringLiteral("exitShell()")}},
    Row{"CheckOnLine", "CheckOnLine", {S("{\"w\":1}")}, {QStringLiteral("checkOnLine({\"w\":1})")}},
    Row{"CheckOnLineNull", "CheckOnLine", {L}, {}},
    Row{"CheckOnLineNumber", "CheckOnLine", {N(5)}, {}},
    Row{"CheckOnLineNone", "CheckOnLine", {}, {}},
    Row{"CloseCurrentDlg", "CloseCurrentDlg", {N(3)}, {QStringLiteral("closeCurrentDialog(3)")}},
    Row{"CloseCurrentDlgText", "CloseCurrentDlg", {S("3")}, {QStringLiteral("closeCurrentDialog(0)")}},
    Row{"LoginFull", "Login", {S("{}"), S("1"), S("0"), N(2), B(false)},
        {QStringLiteral("loginStep({},1,0)"), QStringLiteral("setStartPage(2,1)")}},
    Row{"LoginLeadingDigits", "Login", {S("x"), S(" 12ab"), S("no"), N(5), B(true)},
        {QStringLiteral("loginStep(x,12,0)"), QStringLiteral("setStartPage(5,0)")}},
    Row{"LoginMissingArgsAreUndefined", "Login", {S("x"), U, U, U, U},
        {QStringLiteral("loginStep(x,0,0)"), QStringLiteral("setStartPage(0,1)")}},
    Row{"LoginFourArgs", "Login", {S("x"), S("1"), S("1"), N(1)}, {}},
    Row{"ExJsAnyNumber", "ExJs", {S("140737488355328")}, {}},
    Row{"ExJsZero", "ExJs", {S("0")}, {}},
    Row{"ContextNoArgs", "CB_ExJsWithContext", {N(2), S("showmain")}, {QStringLiteral("runInPage(2,showmain())")}},
    Row{"ContextTwoArgs", "CB_ExJsWithContext", {N(1), S("f"), S("1"), S("'x'")}, {QStringLiteral("runInPage(1,f(1,'x'))")}},
    Row{"ContextNumberArgIsEmpty", "CB_ExJsWithContext", {N(1), S("f"), N(1)}, {QStringLiteral("runInPage(1,f())")}},
    Row{"ContextPageSix", "CB_ExJsWithContext", {N(6), S("f")}, {QStringLiteral("runInPage(6,f())")}},
    Row{"ContextTooFew", "CB_ExJsWithContext", {N(1)}, {}},
    Row{"OpenUrlOverlay", "OpenUrl", {S("http://x/"), N(1)}, {QStringLiteral("showUrlInOverlay(http://x/)")}},
    Row{"OpenUrlBrowser", "OpenUrl", {S("http://x/"), N(2)}, {QStringLiteral("openWithDefaultApp(http://x/,0)")}},
    Row{"OpenUrlOtherMode", "OpenUrl", {S("http://x/"), N(3)}, {}},
    Row{"CloseWebPage", "CloseWebPage", {N(4)}, {QStringLiteral("closeWebPage(4)")}},
    Row{"ChangePage", "ChangePage", {N(2)}, {QStringLiteral("changePage(2)")}},
    Row{"SetTopData", "SetTopData", {S("3|120")}, {QStringLiteral("setTopData(3|120)")}},
    Row{"ShowDevTools", "ShowDevTools", {}, {QStringLiteral("showPageDevTools()")}},
    Row{"GetIdNotHandled", "GetId", {}, {}},
    Row{"UnknownName", "NoSuchCommand", {S("x")}, {}},
    Row{"CaseSensitive", "closepelmora", {}, {}},
    Row{"ForceLogin", "ForceLogin", {}, {QStringLiteral("askForceLogin()")}, BridgeAnswer::Kind::Integer, true},
    Row{"GetMacAddressInfo", "GetMacAddressInfo", {}, {}, BridgeAnswer::Kind::String, true},
    Row{"GetSoftVersion", "GetSoftVersion", {}, {}, BridgeAnswer::Kind::String, true}),
    [](const ::testing::TestParamInfo<Row>& row) { return std::string(row.param.name); });

INSTANTIATE_TEST_SUITE_P(CustomFunction, DispatcherTable, ::testing::Values(
    Row{"LogOut", "CB_CustomFunction", {N(1)}, {QStringLiteral("logOutShell()")}, {}, true},
    Row{"Exit", "CB_CustomFunction", {N(2)}, {QStringLiteral("exitShell()")}, {}, true},
    Row{"OneArgOther", "CB_CustomFunction", {N(7)}, {}, {}, true},
    Row{"NoArgs", "CB_CustomFunction", {}, {}, {}, true},
    Row{"ReloadPage1", "CB_CustomFunction", {N(0), N(0)}, {QStringLiteral("reloadPage(0)")}, {}, true},
    Row{"CancelFirstList", "CB_CustomFunction", {N(20), N(0)}, {QStringLiteral("cancelAllDownloads(1)")}, {}, true},
    Row{"CancelSecondList", "CB_CustomFunction", {N(20), N(1)}, {QStringLiteral("cancelAllDownloads(2)")}, {}, true},
    Row{"OpenLongText", "CB_CustomFunction", {S("https://example.test/"), N(2)},
        {QStringLiteral("openWithDefaultApp(https://example.test/,0)")}, {}, true},
    Row{"ShortTextReloadsPage2", "CB_CustomFunction", {S("abc"), N(2)}, {QStringLiteral("reloadPage(2)")}, {}, true},
    Row{"FourCharsReloadsPage2", "CB_CustomFunction", {S("abcd"), N(2)}, {QStringLiteral("reloadPage(2)")}, {}, true},
    Row{"ZeroReloadsPage2", "CB_CustomFunction", {N(0), N(2)}, {QStringLiteral("reloadPage(2)")}, {}, true},
    Row{"ReloadPage3", "CB_CustomFunction", {N(0), N(3)}, {QStringLiteral("reloadPage(3)")}, {}, true},
    Row{"EndMainDialog", "CB_CustomFunction", {N(1), N(5)}, {QStringLiteral("endMainDialog()")}, {}, true},
    Row{"Page5WithLeaveCheck", "CB_CustomFunction", {N(0), N(6)}, {QStringLiteral("switchPageWithLeaveCheck(5)")}, {}, true},
    Row{"RestorePageView", "CB_CustomFunction", {N(1), N(6)}, {QStringLiteral("restorePageView()")}, {}, true},
    Row{"MessageCentre", "CB_CustomFunction", {N(3), N(6)}, {QStringLiteral("showMessageCentre()")}, {}, true},
    Row{"TwoArgsUnknownSelector", "CB_CustomFunction", {N(0), N(9)}, {}, {}, true},
    // -1 is no unsigned integer: read as 0 like any value of another type.
    Row{"NegativeSelectorReadsAsZero", "CB_CustomFunction", {N(0), N(-1)}, {QStringLiteral("reloadPage(0)")}, {}, true},
    Row{"PauseDownload", "CB_CustomFunction", {S("12"), N(3), N(0)}, {QStringLiteral("controlDownload(12,3,1)")}, {}, true},
    Row{"ResumeDownload", "CB_CustomFunction", {S("12"), N(4), N(1)}, {QStringLiteral("controlDownload(12,4,2)")}, {}, true},
    Row{"CancelDownload", "CB_CustomFunction", {S("12"), N(5), N(0)}, {QStringLiteral("controlDownload(12,5,1)")}, {}, true},
    Row{"InstallList21", "CB_CustomFunction", {S("[]"), N(21), N(0)}, {QStringLiteral("installFromList([],0,1)")}, {}, true},
    Row{"InstallList22", "CB_CustomFunction", {S("[]"), N(22), N(1)}, {QStringLiteral("installFromList([],2,2)")}, {}, true},
    Row{"OpenMaximised", "CB_CustomFunction", {S("http://x/"), N(0), N(0)}, {QStringLiteral("openWithDefaultApp(http://x/,1)")}, {}, true},
    Row{"OverlayRelative", "CB_CustomFunction", {S("Pay/Index"), N(25), N(0)},
        {QStringLiteral("openOverlay(%1Pay/Index)").arg(base)}, {}, true},
    Row{"RemoveAccount", "CB_CustomFunction", {S("13800000000"), N(1), N(4)}, {QStringLiteral("removeSavedAccount(13800000000)")}, {}, true},
    Row{"RefreshUserInfo", "CB_CustomFunction", {S("info"), N(2), N(4)}, {QStringLiteral("refreshUserInfo(info)")}, {}, true},
    Row{"SetCoins", "CB_CustomFunction", {N(250), N(3), N(4)}, {QStringLiteral("setCoins(250)")}, {}, true},
    Row{"SetCoinsFromText", "CB_CustomFunction", {S("250"), N(3), N(4)}, {QStringLiteral("setCoins(0)")}, {}, true},
    Row{"OpenMaximisedSel6", "CB_CustomFunction", {S("http://x/"), N(1), N(6)}, {QStringLiteral("openWithDefaultApp(http://x/,1)")}, {}, true},
    Row{"CloseOverlayToPage1", "CB_CustomFunction", {S(""), N(2), N(6)}, {QStringLiteral("closeOverlayToFirstPage()")}, {}, true},
    Row{"OverlayFullUrl", "CB_CustomFunction", {S("http://pay.test/"), N(3), N(6)}, {QStringLiteral("openOverlay(http://pay.test/)")}, {}, true},
    Row{"ThreeArgsUnknownCode", "CB_CustomFunction", {S("x"), N(9), N(0)}, {}, {}, true},
    Row{"OpenAppFolder", "CB_CustomFunction", {S("7"), S("tool"), N(11), N(1)}, {QStringLiteral("openAppFolder(7,2,tool)")}, {}, true},
    Row{"UserCenterPage", "CB_CustomFunction", {S("UserCenter/Vip"), S("copied"), N(0), N(6)},
        {QStringLiteral("showUserCenterPage(UserCenter/Vip,copied)")}, {}, true},
    Row{"LoginStepFive", "CB_CustomFunction", {S("{}"), S("1"), S("1"), B(true), N(4)}, {QStringLiteral("loginStep({},1,1)")}, {}, true},
    Row{"LaunchApp", "CB_CustomFunction", {S("a"), S("b"), S("c"), S("d"), N(1), N(0)}, {QStringLiteral("launchApp(a,b,c,d)")}, {}, true},
    Row{"SaveSettings", "CB_CustomFunction", {S("1"), S("0"), S("1"), S("0"), N(0), N(5)}, {QStringLiteral("saveSettings(1,0,1,0)")}, {}, true},
    Row{"RequestMode0", "CB_CustomFunction", {S("7"), S("Tool"), S("tool"), S("http://f/t.rar"), S("1.0"), N(0), N(0)},
        {QStringLiteral("requestApp(7,Tool,tool,http://f/t.rar,1.0,0,1)")}, {}, true},
    Row{"RequestMode3", "CB_CustomFunction", {S("7"), S("Tool"), S("tool"), S("u"), S("1.0"), N(6), N(1)},
        {QStringLiteral("requestApp(7,Tool,tool,u,1.0,3,2)")}, {}, true},
    Row{"RequestMode4", "CB_CustomFunction", {S("7"), S("T"), S("t"), S("u"), S("1"), N(10), N(0)},
        {QStringLiteral("requestApp(7,T,t,u,1,4,1)")}, {}, true},
    Row{"RequestUnknownCode", "CB_CustomFunction", {S("7"), S("T"), S("t"), S("u"), S("1"), N(1), N(0)}, {}, {}, true},
    Row{"EightArgs", "CB_CustomFunction", {N(0), N(0), N(0), N(0), N(0), N(0), N(0), N(0)}, {}, {}, true}),
    [](const ::testing::TestParamInfo<Row>& row) { return std::string(row.param.name); });
// clang-format on

TEST(Dispatcher, AnswersCarryTheirValues)
{
    FakeScriptShell shell;
    ClientV8ExtensionHandler dispatcher(shell);
    shell.versions = QStringLiteral("[\n   {\n      \"Id\" : \"7\"\n   }\n]\n");
    EXPECT_EQ(dispatcher.execute(QStringLiteral("GetSoftVersion"), {}).text, browser::BridgeAnswer::string(
        QString::fromLatin1(shell.versions.toUtf8().toBase64())).text);
    EXPECT_EQ(dispatcher.execute(QStringLiteral("GetMacAddressInfo"), {}).text, shell.mac);
    shell.mac.clear();
    EXPECT_EQ(dispatcher.execute(QStringLiteral("GetMacAddressInfo"), {}).kind, BridgeAnswer::Kind::String);
    EXPECT_EQ(dispatcher.execute(QStringLiteral("ForceLogin"), {}).integer, 1);
    shell.forceLoginAnswer = [] { return false; };
    EXPECT_EQ(dispatcher.execute(QStringLiteral("ForceLogin"), {}).integer, 0);
    shell.mainWindow = false;
    EXPECT_EQ(dispatcher.execute(QStringLiteral("GetSoftVersion"), {}).kind, BridgeAnswer::Kind::Undefined);
}

struct AccessorRow
{
    const char* name;
    ScriptValue value;
    const char* text;
    int asInt;
    quint32 asUInt;
    bool asBool;
};

void PrintTo(const AccessorRow& row, std::ostream* os)
{
    *os << row.name;
}

class Accessors : public ::testing::TestWithParam<AccessorRow>
{
};

TEST_P(Accessors, ReadLikeScriptRuntime)
{
    const AccessorRow& row = GetParam();
    EXPECT_EQ(row.value.text().toStdString(), row.text);
    EXPECT_EQ(row.value.toInt(), row.asInt);
    EXPECT_EQ(row.value.toUInt(), row.asUInt);
    EXPECT_EQ(row.value.toBool(), row.asBool);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Accessors,
    ::testing::Values(AccessorRow{"string", S("12"), "12", 0, 0, false},
                      AccessorRow{"integer", N(12), "", 12, 12, false},
                      AccessorRow{"negative", N(-3), "", -3, 0, false},
                      AccessorRow{"fraction", N(2.5), "", 0, 0, false},
                      AccessorRow{"aboveInt", N(3000000000.0), "", 0, 3000000000u, false},
                      AccessorRow{"aboveUInt", N(5000000000.0), "", 0, 0, false},
                      AccessorRow{"notANumber", N(std::numeric_limits<double>::quiet_NaN()), "", 0, 0, false},
                      AccessorRow{"true", B(true), "", 0, 0, true},
                      AccessorRow{"false", B(false), "", 0, 0, false},
                      AccessorRow{"null", L, "", 0, 0, false},
                      AccessorRow{"undefined", U, "", 0, 0, false},
                      AccessorRow{"object", ScriptValue::object(), "", 0, 0, false}),
    [](const ::testing::TestParamInfo<AccessorRow>& row) { return std::string(row.param.name); });

TEST(Dispatcher, LeadingIntegerReadsLikeAtoi)
{
    EXPECT_EQ(ClientV8ExtensionHandler::leadingInteger(QStringLiteral("42abc")), 42);
    EXPECT_EQ(ClientV8ExtensionHandler::leadingInteger(QStringLiteral("  -7")), -7);
    EXPECT_EQ(ClientV8ExtensionHandler::leadingInteger(QStringLiteral("x1")), 0);
    EXPECT_EQ(ClientV8ExtensionHandler::leadingInteger(QString()), 0);
    EXPECT_EQ(ClientV8ExtensionHandler::leadingInteger(QStringLiteral("99999999999999")),
              std::numeric_limits<int>::max());
}

} // namespace
