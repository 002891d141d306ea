#include "platform/Prompts.h"

#include "platform/Trace.h"

#include <QCoreApplication>
#include <QDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace platform {

namespace {

Prompts::Answerer& answerer()
{
    static Prompts::Answerer instance;
    return instance;
}

QByteArray describe(const PromptInfo& info)
{
    QJsonObject object;
    object.insert(QStringLiteral("kind"), info.kind);
    object.insert(QStringLiteral("caption"), info.caption);
    object.insert(QStringLiteral("lines"), QJsonArray::fromStringList(info.lines));
    object.insert(QStringLiteral("answers"), QJsonArray::fromStringList(info.answers));
    object.insert(QStringLiteral("pid"), QCoreApplication::applicationPid());
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace

void Prompts::setAnswerer(Answerer a)
{
    answerer() = std::move(a);
}

int Prompts::exec(QDialog& dialog, const PromptInfo& info, const std::function<void(const QString&)>& answer)
{
    Trace::event(QStringLiteral("prompt"), info.kind + QLatin1Char(' ') + info.lines.join(QLatin1Char('|')));

    QPointer<QDialog> guard(&dialog);
    if (answerer()) {
        const Answerer current = answerer();
        QTimer::singleShot(0, &dialog, [guard, current, info, answer] {
            const QString reply = current(info);
            if (guard && !reply.isEmpty())
                answer(reply);
        });
    } else {
        const QString socketName = qEnvironmentVariable("KAVREN_PROMPT_SOCKET");
        if (!socketName.isEmpty()) {
            auto* socket = new QLocalSocket(&dialog);
            socket->connectToServer(socketName);
            if (socket->waitForConnected(3000)) {
                socket->write(describe(info));
                socket->flush();
                QObject::connect(socket, &QLocalSocket::readyRead, &dialog, [socket, guard, answer] {
                    if (!socket->canReadLine())
                        return;
                    const QString reply = QString::fromUtf8(socket->readLine()).trimmed();
                    if (guard && !reply.isEmpty())
                        answer(reply);
                });
            }
        }
    }
    const int result = dialog.exec();
    Trace::event(QStringLiteral("prompt-closed"), info.kind + QLatin1Char(' ') + QString::number(result));
    return result;
}

QString Prompts::messageBox(QWidget* parent, const QString& caption, const QString& text, Buttons buttons,
                            QMessageBox::Icon icon)
{
    const QMessageBox::StandardButtons standard =
        buttons == Buttons::Ok ? QMessageBox::Ok : (QMessageBox::Ok | QMessageBox::Cancel);
    QMessageBox box(icon, caption, text, standard, parent);
    box.setEscapeButton(buttons == Buttons::Ok ? QMessageBox::Ok : QMessageBox::Cancel);

    PromptInfo info;
    info.kind = QStringLiteral("QMessageBox");
    info.caption = caption;
    info.lines = QStringList{text};
    info.answers = buttons == Buttons::Ok ? QStringList{QStringLiteral("ok")}
                                          : QStringList{QStringLiteral("ok"), QStringLiteral("cancel")};
    exec(box, info, [&box](const QString& reply) {
        QAbstractButton* button = box.button(reply == QLatin1String("ok") ? QMessageBox::Ok : QMessageBox::Cancel);
        if (button)
            button->click();
        else
            box.reject();
    });
    return box.clickedButton() == box.button(QMessageBox::Ok) ? QStringLiteral("ok") : QStringLiteral("cancel");
}

} // namespace platform
