#include "browser/PageCalls.h"

namespace browser {

namespace {

QString quoted(const QString& text)
{
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

QString closingTemplate(const QString& hook, const QString& arguments)
{
    return QLatin1String(" function evalFunc(a,b){ \t\t\t\tif (typeof(pmw) != 'undefined' && typeof(pmw.") + hook
        + QLatin1String(") == 'function') { \t\t\t\t\treturn pmw.") + hook + QLatin1Char('(') + arguments
        + QLatin1String(");\t\t\t\t}                                               \t\t\t\telse {                     "
                        "                     \t\t\t\t\treturn true;                                \t\t\t\t}        "
                        "                                       \t\t\t}   evalFunc();");
}

} // namespace

QString PageCalls::base64Utf8(const QString& text)
{
    return QString::fromLatin1(text.toUtf8().toBase64());
}

QString PageCalls::call(const QString& function)
{
    return function + QLatin1String("()");
}

QString PageCalls::call(const QString& function, const QString& a)
{
    return function + QLatin1Char('(') + quoted(a) + QLatin1Char(')');
}

QString PageCalls::call(const QString& function, const QString& a, int d)
{
    return function + QLatin1Char('(') + quoted(a) + QLatin1Char(',') + quoted(QString::number(d)) + QLatin1Char(')');
}

QString PageCalls::call(const QString& function, const QString& a, const QString& b)
{
    return function + QLatin1Char('(') + quoted(a) + QLatin1Char(',') + quoted(b) + QLatin1Char(')');
}

QString PageCalls::call(const QString& function, const QString& a, const QString& b, const QString& c)
{
    return function + QLatin1Char('(') + quoted(a) + QLatin1Char(',') + quoted(b) + QLatin1Char(',') + quoted(c)
        + QLatin1Char(')');
}

QString PageCalls::call(const QString& function, const QString& a, const QString& b, const QString& c,
                        const QString& d)
{
    return function + QLatin1Char('(') + quoted(a) + QLatin1Char(',') + quoted(b) + QLatin1Char(',') + quoted(c)
        + QLatin1Char(',') + quoted(d) + QLatin1Char(')');
}

QString PageCalls::webDialogClosingQuestion(int closeCode)
{
    return closingTemplate(QStringLiteral("FrmValidate_Closing"), QString::number(closeCode));
}

QString PageCalls::pageChangeQuestion(int currentPage, int requestedPage)
{
    return closingTemplate(QStringLiteral("ToolbarTop_SelectIndexChanging"),
                           QString::number(currentPage) + QLatin1Char(',') + QString::number(requestedPage));
}

QString PageCalls::overlayClosingQuestion(int closeCode)
{
    return QLatin1String(" function evalFunc_PayWeb(){ \n\t\t\t\tif (typeof(pmw) != 'undefined' && "
                         "typeof(pmw.WebPage_Closing) == 'function') { \n\t\t\t\t\treturn pmw.WebPage_Closing(")
        + QString::number(closeCode)
        + QLatin1String(");\n\t\t\t\t}                                               \n\t\t\t\telse {              "
                        "                            \n\t\t\t\t\treturn true;                                \n\t\t\t"
                        "\t}                                              \n \t\t\t}   evalFunc_PayWeb();");
}

QString PageCalls::existsTest(const QString& object, const QString& function)
{
    return QLatin1String("(function(){ return (typeof(") + object + QLatin1String(")!= 'undefined' && typeof(")
        + function + QLatin1String(") == 'function')})()");
}

QString PageCalls::callIfExists(const QString& object, const QString& function)
{
    return QLatin1String("(function() {  if((typeof(") + object + QLatin1String(") != 'undefined' && typeof(")
        + function + QLatin1String(") == 'function')) return ") + function
        + QLatin1String("(); else return false;})()");
}

QString PageCalls::errorTip(const QString& message)
{
    return call(QStringLiteral("errorTip"), base64Utf8(message));
}

QString PageCalls::loginError()
{
    return call(QStringLiteral("loginError"));
}

QString PageCalls::bind(const QString& savedAccountsJson)
{
    return call(QStringLiteral("bind"), base64Utf8(savedAccountsJson));
}

QString PageCalls::bindSet(const QString& a, const QString& b, const QString& c, const QString& d)
{
    return call(QStringLiteral("bindSet"), a, b, c, d);
}

QString PageCalls::getInfo(const QString& supportNumber, const QString& version)
{
    return call(QStringLiteral("getInfo"), supportNumber, version);
}

QString PageCalls::uploadSoft(const QString& appId, const QString& percentage, const QString& progress)
{
    return call(QStringLiteral("uploadsoft"), appId, percentage, progress);
}

QString PageCalls::uploadSuccess(const QString& appId)
{
    return call(QStringLiteral("uploadSuccess"), appId);
}

QString PageCalls::cancelLoad(const QString& appId, int loadType)
{
    return call(QStringLiteral("cancelLoad"), appId, loadType);
}

QString PageCalls::errorMsg(const QString& message)
{
    return call(QStringLiteral("errorMsg"), base64Utf8(message), QStringLiteral("1"));
}

QString PageCalls::webDialogClosed(int closeCode)
{
    return QLatin1String("pmw.FrmValidate_Closed(") + QString::number(closeCode) + QLatin1Char(')');
}

QString PageCalls::overlayClosed(int closeCode)
{
    return QLatin1String("pmw.WebPage_Closed(") + QString::number(closeCode) + QLatin1Char(')');
}

QString PageCalls::vipClick()
{
    return QStringLiteral("pmw.ImgBtnVip_Click()");
}

QString PageCalls::refreshClick()
{
    return QStringLiteral("pmw.ImgBtnRefresh_Click()");
}

QString PageCalls::showMain()
{
    return call(QStringLiteral("showmain"));
}

QString PageCalls::addScoreByOnline()
{
    return call(QStringLiteral("AddScoreByOnline"));
}

} // namespace browser
