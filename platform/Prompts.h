#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <functional>

class QDialog;
class QWidget;

namespace platform {

// What a message box or question shows, as a test sees it.
struct PromptInfo
{
    QString kind;        // the dialog class, e.g. "QMessageBox", "CNoticeTwoSelect"
    QString caption;
    QStringList lines;   // the message text, one entry per text control or line
    QStringList answers; // the answers the prompt accepts, e.g. {"ok", "cancel", "close"}
};

// The one entry point for every message box and question of the programs. It runs the real
// dialog modally; when a test answers prompts, the answer closes it the way the named button
// would. Tests answer either in process (setAnswerer) or, for a real program, through the local
// socket named by KAVREN_PROMPT_SOCKET: the program writes the prompt as one JSON line and
// reads one line back, the answer. Every prompt is also traced (platform::Trace).
class Prompts
{
public:
    // Return the answer to give, or an empty text to leave the dialog to the user.
    using Answerer = std::function<QString(const PromptInfo&)>;
    static void setAnswerer(Answerer answerer);

    // `answer` is called on the dialog's thread with the answer text and must end the dialog.
    static int exec(QDialog& dialog, const PromptInfo& info, const std::function<void(const QString&)>& answer);

    enum class Buttons { Ok, OkCancel };
    // A system-style message box. Returns "ok" or "cancel"; closing the box counts as its
    // escape button ("cancel" for OK/Cancel, "ok" for a lone OK).
    static QString messageBox(QWidget* parent, const QString& caption, const QString& text, Buttons buttons,
                              QMessageBox::Icon icon = QMessageBox::NoIcon);
};

} // namespace platform
