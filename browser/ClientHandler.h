#pragma once

#include "browser/KavrenView.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

class QWidget;

namespace browser {

class BrowserRuntime;
class KavrenPage;

// The browser client of one embedded browser: creates the browser as a child of its hosting
// window and offers what native code does with a page: navigate, run script, ask a yes/no
// question, open the developer tools. A handler lives as long as its hosting window.
class ClientHandler : public QObject
{
    Q_OBJECT
public:
    static constexpr int kEvalTimeoutMs = 5000;

    explicit ClientHandler(BrowserRuntime& runtime, QObject* parent = nullptr);
    ~ClientHandler() override;

    // Creates the browser (at most once) as a child of `parent` with the given geometry and loads url.
    KavrenView* createBrowser(QWidget* parent, const QRect& rect, const QString& url);
    // The browser's own window; null before createBrowser.
    KavrenView* browserWindow() const { return m_view; }
    KavrenPage* page() const;

    void loadUrl(const QString& url);
    // Runs the script in the main frame; no answer.
    void executeScript(const QString& script);
    // Runs the script and waits (events keep flowing) at most 5000 ms for its value: true only
    // for the boolean true. A late answer after the wait gave up is dropped safely. Called from
    // inside an engine callback, the answer cannot arrive and the wait runs out: ask questions
    // from ordinary events only.
    bool evalBool(const QString& script, int timeoutMs = kEvalTimeoutMs);
    // Opens (or raises) the developer tools in a window of their own, titled "DevTools".
    void showDevTools();

private:
    BrowserRuntime& m_runtime;
    QPointer<KavrenView> m_view;
    QPointer<QWidget> m_devTools;
    int m_evalDepth = 0;
};

} // namespace browser
