#include "browser/KavrenView.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QWebEngineContextMenuRequest>

namespace browser {

KavrenView::KavrenView(QWidget* parent)
    : QWebEngineView(parent)
{
}

QList<QPair<QWebEnginePage::WebAction, QString>> KavrenView::menuActions()
{
    return {
        {QWebEnginePage::Undo, QStringLiteral("撤销")},
        {QWebEnginePage::Redo, QStringLiteral("重做")},
        {QWebEnginePage::Cut, QStringLiteral("剪切")},
        {QWebEnginePage::Copy, QStringLiteral("复制")},
        {QWebEnginePage::Paste, QStringLiteral("粘贴")},
        {QWebEnginePage::SelectAll, QStringLiteral("全选")},
    };
}

void KavrenView::contextMenuEvent(QContextMenuEvent* event)
{
    const QWebEngineContextMenuRequest* request = lastContextMenuRequest();
    const bool editable = request && request->isContentEditable();
    const bool selection = request && !request->selectedText().isEmpty();
    if (!editable && !selection) {
        // A plain page has nothing left to offer once navigation and source items are gone.
        event->accept();
        return;
    }
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const auto actions = menuActions();
    for (const auto& [webAction, label] : actions) {
        const bool editingOnly = webAction == QWebEnginePage::Undo || webAction == QWebEnginePage::Redo
            || webAction == QWebEnginePage::Cut;
        if (editingOnly && !editable)
            continue;
        QAction* action = page()->action(webAction);
        if (!action)
            continue;
        action->setText(label);
        menu->addAction(action);
    }
    menu->popup(event->globalPos());
}

} // namespace browser
