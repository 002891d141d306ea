#pragma once

#include <QString>

namespace browser {

// Every script text the shell runs in a page: the call shapes of notifications, the argument
// encoding (Base64 of UTF-8 for texts that may hold Chinese characters or quotes) and the
// question templates whose answer comes back through ClientHandler::evalBool.
class PageCalls
{
public:
    // Standard Base64 (with padding, no line breaks) of the text's UTF-8 bytes.
    static QString base64Utf8(const QString& text);

    // "%s()", "%s('%s')", "%s('%s','%d')", "%s('%s','%s')", "%s('%s','%s','%s')",
    // "%s('%s','%s','%s','%s')": arguments go between single quotes as they are.
    static QString call(const QString& function);
    static QString call(const QString& function, const QString& a);
    static QString call(const QString& function, const QString& a, int d);
    static QString call(const QString& function, const QString& a, const QString& b);
    static QString call(const QString& function, const QString& a, const QString& b, const QString& c);
    static QString call(const QString& function, const QString& a, const QString& b, const QString& c,
                        const QString& d);

    // Questions: true only when the page answers the boolean true; a page without the hook
    // answers true for the closing and page-change questions.
    static QString webDialogClosingQuestion(int closeCode);              // pmw.FrmValidate_Closing
    static QString pageChangeQuestion(int currentPage, int requestedPage); // pmw.ToolbarTop_SelectIndexChanging
    static QString overlayClosingQuestion(int closeCode);                // pmw.WebPage_Closing
    // false when the object or function is missing.
    static QString existsTest(const QString& object, const QString& function);
    static QString callIfExists(const QString& object, const QString& function);

    // The page functions the shell calls.
    static QString errorTip(const QString& message);
    static QString loginError();
    static QString bind(const QString& savedAccountsJson);
    static QString bindSet(const QString& a, const QString& b, const QString& c, const QString& d);
    static QString getInfo(const QString& supportNumber, const QString& version);
    static QString uploadSoft(const QString& appId, const QString& percentage, const QString& progress);
    static QString uploadSuccess(const QString& appId);
    static QString cancelLoad(const QString& appId, int loadType);
    static QString errorMsg(const QString& message);
    static QString webDialogClosed(int closeCode);
    static QString overlayClosed(int closeCode);
    static QString vipClick();
    static QString refreshClick();
    static QString showMain();
    static QString addScoreByOnline();
};

} // namespace browser
