#pragma once

#include "widgets/CNoticeDialogModel.h"
#include "widgets/CNoticeTwoSelect.h"
#include "widgets/CNoticeTwoSelect2.h"
#include "widgets/CTraButton.h"

#include <QAbstractButton>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

namespace noticetest {

// One notice of any of the three classes behind one face, so tables can name the class.
struct Notice
{
    std::unique_ptr<widgets::NoticeDialog> dialog;
    std::function<int()> doModal;
    std::function<QString()> resultText;   // empty for the one-button notice, which has none
    QAbstractButton* ok = nullptr;
    QAbstractButton* cancel = nullptr;      // null for the one-button notice
    QStringList lines;

    QAbstractButton* button(const std::string& name) const
    {
        if (name == "ok")
            return ok;
        if (name == "cancel")
            return cancel;
        return dialog->closeButton();
    }
};

inline Notice makeNotice(const std::string& kind, double scale = 1.0)
{
    Notice n;
    if (kind == "CNoticeDialogModel") {
        auto* d = new widgets::CNoticeDialogModel(nullptr, scale);
        d->setText(QStringLiteral("连接Kavren工具箱服务器失败，请检查网络连接是否正常！"));
        n.lines = QStringList{d->text()};
        n.doModal = [d] { return d->DoModal(); };
        n.ok = d->okButton();
        n.dialog.reset(d);
    } else if (kind == "CNoticeTwoSelect") {
        auto* d = new widgets::CNoticeTwoSelect(nullptr, scale);
        d->setText(QStringLiteral("账号已登陆，是否强制登陆!"));
        n.lines = QStringList{d->text()};
        n.doModal = [d] { return d->DoModal(); };
        n.resultText = [d] { return d->resultText(); };
        n.ok = d->okButton();
        n.cancel = d->cancelButton();
        n.dialog.reset(d);
    } else {
        auto* d = new widgets::CNoticeTwoSelect2(nullptr, scale);
        d->setLines(QStringLiteral("退出Kavren工具箱,"), QStringLiteral("工具箱内软件也将同时关闭"),
                    QStringLiteral("请保存相关数据后点击“确定”正常退出"));
        n.lines = d->lines();
        n.doModal = [d] { return d->DoModal(); };
        n.resultText = [d] { return d->resultText(); };
        n.ok = d->okButton();
        n.cancel = d->cancelButton();
        n.dialog.reset(d);
    }
    return n;
}

// Runs the notice modally and calls `action` once its loop runs. A watchdog ends a notice the
// action left open, so a faulty notice fails the test instead of hanging it; `timedOut` says so.
inline int runModal(Notice& notice, const std::function<void()>& action, bool* timedOut)
{
    *timedOut = false;
    QTimer::singleShot(0, notice.dialog.get(), action);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    widgets::NoticeDialog* dialog = notice.dialog.get();
    QObject::connect(&watchdog, &QTimer::timeout, dialog, [dialog, timedOut] {
        *timedOut = true;
        dialog->done(-1);
    });
    watchdog.start(5000);
    return notice.doModal();
}

} // namespace noticetest
