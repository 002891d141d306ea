#include "browser/KavrenPage.h"

#include "browser/BrowserRuntime.h"
#include "browser/ClientApp.h"

#include <QPointer>

namespace browser {

namespace {

// Stands in for the window a page asked for: reports the first address it is sent to and goes.
class PopupCatcher : public QWebEnginePage
{
public:
    PopupCatcher(QWebEngineProfile* profile, KavrenPage* opener)
        : QWebEnginePage(profile, opener)
        , m_opener(opener)
    {
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override
    {
        if (isMainFrame && !m_reported) {
            m_reported = true;
            if (m_opener)
                emit m_opener->popupRequested(url.toString());
            deleteLater();
        }
        return false;
    }

private:
    QPointer<KavrenPage> m_opener;
    bool m_reported = false;
};

} // namespace

KavrenPage::KavrenPage(BrowserRuntime& runtime, QObject* parent)
    : QWebEnginePage(runtime.profile(), parent)
    , m_runtime(runtime)
{
}

bool KavrenPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                                  QString* result)
{
    const QString marker = ClientApp::bridgeMarker();
    if (!msg.startsWith(marker))
        return QWebEnginePage::javaScriptPrompt(securityOrigin, msg, defaultValue, result);
    const QChar kind = msg.size() > marker.size() ? msg.at(marker.size()) : QChar();
    const QString part = msg.mid(marker.size() + 1);
    if (kind == QLatin1Char('C')) {
        m_partialCall.clear();
        *result = m_runtime.handleBridgeCall(securityOrigin, part);
        return true;
    }
    if (kind == QLatin1Char('P') || kind == QLatin1Char('E')) {
        if (m_partialCall.isEmpty())
            m_partialOrigin = securityOrigin;
        const bool intact = m_partialOrigin == securityOrigin && m_partialCall.size() + part.size() <= kMaxCallSize;
        if (intact)
            m_partialCall += part;
        else
            m_partialCall.clear();
        if (kind == QLatin1Char('P') && intact) {
            result->clear();
            return true;
        }
        const QString call = intact ? m_partialCall : QString();
        m_partialCall.clear();
        *result = m_runtime.handleBridgeCall(securityOrigin, call);
        return true;
    }
    *result = m_runtime.handleBridgeCall(securityOrigin, QString());
    return true;
}

QWebEnginePage* KavrenPage::createWindow(WebWindowType)
{
    return new PopupCatcher(profile(), this);
}

} // namespace browser
