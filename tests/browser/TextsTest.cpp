// Texts the pages depend on byte for byte: the extension sources, the question templates,
// the call shapes and the Base64 argument encoding.
#include "browser/ClientApp.h"
#include "browser/ClientV8ExtensionHandler.h"
#include "browser/PageCalls.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using browser::ClientApp;
using browser::PageCalls;

std::string utf8(const QString& s)
{
    return s.toStdString();
}

TEST(ExtensionTexts, AppExtensionIsExact)
{
    EXPECT_EQ(utf8(ClientApp::appExtensionSource()), "var app;if (!app)    app = {};(function() {    app.GetId = function() {        native function GetId();        return GetId();    };})();");
}

TEST(ExtensionTexts, GeneratedPmExtensionStartsAndEndsAsPagesExpect)
{
    const std::string source = utf8(ClientApp::pmExtensionSource());
    const std::string start = "var pm;if (!pm)    pm= {};(function() {    pm.GetSoftVersion = function() {        native function GetSoftVersion();        return GetSoftVersion();    };    pm.ShowMessage = function(param) {        native function ShowMessage();        return ShowMessage(param);    };";
    EXPECT_EQ(source.substr(0, start.size()), start);
    EXPECT_EQ(source.substr(source.size() - 5), "})();");
    // Every entry in table order with its declared parameters.
    EXPECT_NE(source.find("    pm.Login = function(a,b,c,d,e) {        native function Login();        return "
                          "Login(a,b,c,d,e);    };    pm.OpenUrl = function(a,b) {"),
              std::string::npos);
    EXPECT_NE(source.find("    pm.ShowDevTools = function() {        native function ShowDevTools();        return "
                          "ShowDevTools();    };})();"),
              std::string::npos);
    EXPECT_EQ(ClientApp::commandTable().size(), 13);
}

TEST(ExtensionTexts, GeneratorFollowsItsPattern)
{
    const QList<browser::ExtensionEntry> entries{{QStringLiteral("F"), QStringLiteral("F"), QStringLiteral("x")}};
    EXPECT_EQ(utf8(ClientApp::generateExtension(QStringLiteral("o"), entries)),
              "var o;if (!o)    o= {};(function() {    o.F = function(x) {        native function F();        "
              "return F(x);    };})();");
}

TEST(ExtensionTexts, NativeDeclarationsBecomeBridgeCalls)
{
    const QString bound = ClientApp::bindNativeFunctions(ClientApp::appExtensionSource());
    EXPECT_FALSE(bound.contains(QLatin1String("native function")));
    EXPECT_TRUE(bound.contains(QLatin1String("function GetId() { return window.__kavrenBridge(\"GetId\", arguments); }")));
}

TEST(QuestionTemplates, AreExact)
{
    const std::string X = "3";
    EXPECT_EQ(utf8(PageCalls::webDialogClosingQuestion(3)), std::string(" function evalFunc(a,b){ \t\t\t\tif (typeof(pmw) != 'undefined' && typeof(pmw.FrmValidate_Closing) == 'function') { \t\t\t\t\treturn pmw.FrmValidate_Closing(") + X + std::string(");\t\t\t\t}                                               \t\t\t\telse {                                          \t\t\t\t\treturn true;                                \t\t\t\t}                                               \t\t\t}   evalFunc();"));
    const std::string F = "1", G = "4";
    EXPECT_EQ(utf8(PageCalls::pageChangeQuestion(1, 4)), std::string(" function evalFunc(a,b){ \t\t\t\tif (typeof(pmw) != 'undefined' && typeof(pmw.ToolbarTop_SelectIndexChanging) == 'function') { \t\t\t\t\treturn pmw.ToolbarTop_SelectIndexChanging(") + F + "," + G + std::string(");\t\t\t\t}                                               \t\t\t\telse {                                          \t\t\t\t\treturn true;                                \t\t\t\t}                                               \t\t\t}   evalFunc();"));
    EXPECT_EQ(utf8(PageCalls::overlayClosingQuestion(3)), std::string(" function evalFunc_PayWeb(){ \n\t\t\t\tif (typeof(pmw) != 'undefined' && typeof(pmw.WebPage_Closing) == 'function') { \n\t\t\t\t\treturn pmw.WebPage_Closing(") + X + std::string(");\n\t\t\t\t}                                               \n\t\t\t\telse {                                          \n\t\t\t\t\treturn true;                                \n\t\t\t\t}                                              \n \t\t\t}   evalFunc_PayWeb();"));
    const std::string O = "pmw", E = "pmw.ImgBtnRefresh_Click";
    EXPECT_EQ(utf8(PageCalls::existsTest(QStringLiteral("pmw"), QStringLiteral("pmw.ImgBtnRefresh_Click"))),
              std::string("(function(){ return (typeof(") + O + std::string(")!= 'undefined' && typeof(") + E + std::string(") == 'function')})()"));
    EXPECT_EQ(utf8(PageCalls::callIfExists(QStringLiteral("pmw"), QStringLiteral("pmw.ImgBtnRefresh_Click"))),
              std::string("(function() {  if((typeof(") + O + std::string(") != 'undefined' && typeof(") + E + std::string(") == 'function')) return ") + E + std::string("(); else return false;})()"));
}

TEST(QuestionTemplates, OverlayTemplateHasItsOwnBlankCount)
{
    // 46 blanks before the last line feed, and one blank after it.
    const QString t3 = PageCalls::overlayClosingQuestion(0);
    EXPECT_TRUE(t3.contains(QLatin1String("}") + QString(46, QLatin1Char(' ')) + QLatin1String("\n \t\t\t}")));
    EXPECT_TRUE(PageCalls::webDialogClosingQuestion(0).contains(QLatin1String("}") + QString(47, QLatin1Char(' '))
                                                                + QLatin1String("\t\t\t}")));
}

struct Base64Case
{
    const char* name;
    const char* utf8Text;
    const char* base64;
};

class Base64Utf8 : public ::testing::TestWithParam<Base64Case>
{
};

TEST_P(Base64Utf8, EncodesRealUtf8)
{
    EXPECT_EQ(utf8(PageCalls::base64Utf8(QString::fromUtf8(GetParam().utf8Text))), GetParam().base64);
}

INSTANTIATE_TEST_SUITE_P(Table, Base64Utf8,
                         ::testing::Values(Base64Case{"empty", "", ""},
                                           Base64Case{"chinese", "中文", "5Lit5paH"},
                                           Base64Case{"quotes", "it's \"q\"", "aXQncyAicSI="},
                                           // U+1F600 is four UTF-8 bytes, not two three-byte halves.
                                           Base64Case{"outsideBasicPlane", "\xF0\x9F\x98\x80", "8J+YgA=="},
                                           Base64Case{"mixed", "连接Kavren工具箱服务失败", "6L+e5o6lS2F2cmVu5bel5YW3566x5pyN5Yqh5aSx6LSl"}),
                         [](const ::testing::TestParamInfo<Base64Case>& row) { return std::string(row.param.name); });

TEST(CallShapes, ArgumentsGoBetweenQuotesUnescaped)
{
    EXPECT_EQ(utf8(PageCalls::showMain()), "showmain()");
    EXPECT_EQ(utf8(PageCalls::uploadSuccess(QStringLiteral("12"))), "uploadSuccess('12')");
    EXPECT_EQ(utf8(PageCalls::cancelLoad(QStringLiteral("12"), 3)), "cancelLoad('12','3')");
    EXPECT_EQ(utf8(PageCalls::uploadSoft(QStringLiteral("7"), QStringLiteral("0% 0 k/s"),
                                         QStringLiteral("等待下载中..."))),
              "uploadsoft('7','0% 0 k/s','等待下载中...')");
    EXPECT_EQ(utf8(PageCalls::bindSet(QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("0"))),
              "bindSet('1','0','1','0')");
    EXPECT_EQ(utf8(PageCalls::errorTip(QStringLiteral("it's"))), "errorTip('aXQncw==')");
    EXPECT_EQ(utf8(PageCalls::errorMsg(QStringLiteral("中文"))), "errorMsg('5Lit5paH','1')");
    EXPECT_EQ(utf8(PageCalls::loginError()), "loginError()");
    EXPECT_EQ(utf8(PageCalls::webDialogClosed(2)), "pmw.FrmValidate_Closed(2)");
    EXPECT_EQ(utf8(PageCalls::overlayClosed(5)), "pmw.WebPage_Closed(5)");
    EXPECT_EQ(utf8(PageCalls::getInfo(QStringLiteral("400"), QStringLiteral("2.1.2"))), "getInfo('400','2.1.2')");
}

} // namespace
