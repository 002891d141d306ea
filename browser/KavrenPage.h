#pragma once

#include <QWebEnginePage>

namespace browser {

class BrowserRuntime;

// The one page class: answers the bridge's prompt() calls (only for the service's own
// origin), and turns every request for a new window into a report of its address, so no
// popup window is ever opened. A page's own prompt() without our marker keeps the normal box.
class KavrenPage : public QWebEnginePage
{
    Q_OBJECT
public:
    KavrenPage(BrowserRuntime& runtime, QObject* parent = nullptr);

signals:
    void popupRequested(const QString& url);

protected:
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                          QString* result) override;
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    // Bridge calls longer than one prompt message arrive in parts; they are joined here.
    static constexpr qsizetype kMaxCallSize = 64 * 1024 * 1024;

    BrowserRuntime& m_runtime;
    QString m_partialCall;
    QUrl m_partialOrigin;
};

} // namespace browser
