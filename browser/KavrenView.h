#pragma once

#include <QWebEngineView>

namespace browser {

// The web view of every browser: its context menu offers only the editing and clipboard
// actions, with Chinese labels (no back, forward, reload, print or view-source).
class KavrenView : public QWebEngineView
{
    Q_OBJECT
public:
    explicit KavrenView(QWidget* parent = nullptr);

    // The actions the menu keeps, with their labels, in menu order.
    static QList<QPair<QWebEnginePage::WebAction, QString>> menuActions();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
};

} // namespace browser
