#include "shell/CPelmoraApp.h"

#include "platform/LastChance.h"
#include "shell/CPelmoraDlg.h"

#include <QTimer>

#include <stdexcept>

namespace shell {

int CPelmoraApp::initInstance()
{
    platform::LastChance::install(QStringLiteral("提示"),
                                  QStringLiteral("Kavren工具箱：获取数据出现异常,请检查网络连接是否正常"));

    // Fault injection for the end-to-end test of the last-chance handler.
    if (qEnvironmentVariable("KAVREN_TEST_FAULT") == QLatin1String("event"))
        QTimer::singleShot(0, [] { throw std::runtime_error("injected fault"); });

    CPelmoraDlg dialog;
    if (dialog.onInitDialog())
        dialog.exec();
    return 0;
}

} // namespace shell
