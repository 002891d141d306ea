#include "platform/LastChance.h"

#include "platform/Prompts.h"
#include "platform/Trace.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <unistd.h>

namespace platform {

namespace {

QString g_caption;
QString g_text;
std::atomic<bool> g_failing{false};

[[noreturn]] void showAndEnd()
{
    Trace::event(QStringLiteral("last-chance"), g_text);
    if (!g_failing.exchange(true))
        Prompts::messageBox(nullptr, g_caption, g_text, Prompts::Buttons::Ok);
    std::fflush(nullptr);
    ::_exit(1);
}

[[noreturn]] void onTerminate()
{
    LastChance::fail();
}

} // namespace

void LastChance::install(const QString& caption, const QString& text)
{
    g_caption = caption;
    g_text = text;
    std::set_terminate(onTerminate);
}

void LastChance::fail()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        std::fprintf(stderr, "%s\n", g_text.toLocal8Bit().constData());
        ::_exit(1);
    }
    if (QThread::currentThread() == app->thread())
        showAndEnd();
    // A worker: the message belongs to the GUI thread; this thread stops here for good.
    QMetaObject::invokeMethod(app, [] { showAndEnd(); }, Qt::QueuedConnection);
    for (;;)
        QThread::sleep(3600);
}

} // namespace platform
