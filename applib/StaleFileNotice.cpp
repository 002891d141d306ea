#include "applib/StaleFileNotice.h"

#include "platform/Prompts.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <QWidget>

namespace applib {

QString staleFileText(const QString& localPath)
{
    return QStringLiteral("删除无效文件 %1 失败，请手动删除后再重新下载。").arg(localPath);
}

StaleFileHook staleFileNotice(QWidget* owner, const QString& caption)
{
    const bool hasOwner = owner != nullptr;
    QPointer<QWidget> guardedOwner(owner);
    return [hasOwner, guardedOwner, caption](const QString& localPath) {
        QObject* context = hasOwner ? static_cast<QObject*>(guardedOwner.data()) : QCoreApplication::instance();
        if (!context)
            return;
        const auto show = [hasOwner, guardedOwner, caption, localPath] {
            if (hasOwner && !guardedOwner)
                return;
            platform::Prompts::messageBox(guardedOwner.data(), caption, staleFileText(localPath),
                                          platform::Prompts::Buttons::Ok);
        };
        if (QThread::currentThread() == context->thread())
            show();
        else
            QMetaObject::invokeMethod(context, show, Qt::BlockingQueuedConnection);
    };
}

} // namespace applib
