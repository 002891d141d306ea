#pragma once

#include "applib/DownloadFile.h"

#include <QString>

class QWidget;

namespace applib {

// Wires the updater form's stale-file hook to the GUI thread. The returned hook, called on the
// download's worker thread, has the GUI thread (the owner's, or the application's when there
// is no owner) show "删除无效文件 <path> 失败，请手动删除后再重新下载。" through
// platform::Prompts, and returns once the box is closed: the updater ends right after a
// Stopped download, so it must not run ahead of the user reading the message.
// Called on the GUI thread itself it shows the box directly. If the owner is gone by then,
// nothing is shown.
StaleFileHook staleFileNotice(QWidget* owner, const QString& caption);

// The message text for a path.
QString staleFileText(const QString& localPath);

} // namespace applib
