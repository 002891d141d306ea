#include "browser/ClientHandler.h"

#include "browser/BrowserEvents.h"
#include "browser/BrowserRuntime.h"
#include "browser/KavrenPage.h"
#include "browser/KavrenView.h"

#include <QEventLoop>
#include <QTimer>
#include <QUrl>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <memory>

namespace browser {

namespace {

// Shared between a waiting evalBool and its script callback, which may outlive the wait.
struct EvalState
{
    bool answered = false;
    bool value = false;
    QPointer<QEventLoop> loop;
};

// Nested questions (a question asked while another waits) are allowed up to this depth.
constexpr int kMaxEvalDepth = 8;

} // namespace

ClientHandler::ClientHandler(BrowserRuntime& runtime, QObject* parent)
    : QObject(parent)
    , m_runtime(runtime)
{
}

ClientHandler::~ClientHandler()
{
    delete m_devTools;
}

KavrenView* ClientHandler::createBrowser(QWidget* parent, const QRect& rect, const QString& url)
{
    if (m_view)
        return m_view;
    m_view = new KavrenView(parent);
    auto* page = new KavrenPage(m_runtime, m_view);
    m_view->setPage(page);
    m_view->setZoomFactor(m_runtime.zoomFactor());
    m_view->setGeometry(rect);
    connect(page, &QWebEnginePage::loadFinished, this, [this, page](bool) {
        if (BrowserEvents* events = m_runtime.events())
            events->onPageLoaded(this, page->url().toString());
    });
    connect(page, &KavrenPage::popupRequested, this, [this](const QString& target) {
        if (BrowserEvents* events = m_runtime.events())
            events->onPopup(target);
    });
    if (!url.isEmpty())
        m_view->setUrl(QUrl(url));
    m_view->show();
    return m_view;
}

KavrenPage* ClientHandler::page() const
{
    return m_view ? static_cast<KavrenPage*>(m_view->page()) : nullptr;
}

void ClientHandler::loadUrl(const QString& url)
{
    if (m_view)
        m_view->setUrl(QUrl(url));
}

void ClientHandler::executeScript(const QString& script)
{
    if (KavrenPage* p = page())
        p->runJavaScript(script, QWebEngineScript::MainWorld);
}

bool ClientHandler::evalBool(const QString& script, int timeoutMs)
{
    KavrenPage* p = page();
    if (!p || m_evalDepth >= kMaxEvalDepth)
        return false;

    auto state = std::make_shared<EvalState>();
    QEventLoop loop;
    state->loop = &loop;
    p->runJavaScript(script, QWebEngineScript::MainWorld, [state](const QVariant& value) {
        state->answered = true;
        state->value = value.typeId() == QMetaType::Bool && value.toBool();
        if (state->loop)
            state->loop->quit();
    });
    if (!state->answered) {
        QTimer::singleShot(timeoutMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        // A page that goes away during the wait ends it as a refusal.
        connect(p, &QObject::destroyed, &loop, &QEventLoop::quit);
        ++m_evalDepth;
        loop.exec(QEventLoop::AllEvents);
        --m_evalDepth;
    }
    state->loop = nullptr;
    return state->answered && state->value;
}

void ClientHandler::showDevTools()
{
    KavrenPage* inspected = page();
    if (!inspected)
        return;
    if (!m_devTools) {
        auto* tools = new QWebEngineView;
        tools->setAttribute(Qt::WA_DeleteOnClose);
        tools->setWindowTitle(QStringLiteral("DevTools"));
        tools->resize(1000, 700);
        auto* toolsPage = new QWebEnginePage(m_runtime.profile(), tools);
        tools->setPage(toolsPage);
        toolsPage->setInspectedPage(inspected);
        m_devTools = tools;
    }
    m_devTools->show();
    m_devTools->raise();
    m_devTools->activateWindow();
}

} // namespace browser
