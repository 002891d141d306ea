#include "updater/CkavrenupApp.h"

#include "platform/DesktopOpen.h"
#include "platform/ExeDir.h"
#include "platform/HostLookup.h"
#include "platform/LastChance.h"
#include "platform/Process.h"
#include "platform/Prompts.h"
#include "platform/ServiceConfig.h"
#include "platform/SingleInstance.h"
#include "platform/Trace.h"
#include "widgets/CTraButton.h"

#include <QFileInfo>
#include <QProcess>

#include <cstdio>
#include <unistd.h>

namespace updater {

namespace {

const QString kCaption = QStringLiteral("工具箱提示");

[[noreturn]] void endProcess(int code)
{
    std::fflush(nullptr);
    ::_exit(code);
}

} // namespace

int CkavrenupApp::initInstance()
{
    platform::LastChance::install(kCaption, QStringLiteral("Kavren工具箱：获取数据出现异常,请检查网络连接是否正常"));
    // The updater's image buttons show the pointing hand; the shell's keep the arrow.
    widgets::CTraButton::setHandCursor(true);

    platform::SingleInstance instance(QStringLiteral("MyKavrensoftUpMutex"));
    if (!instance.acquire())
        endProcess(0);

    if (platform::ExeDir::path().isEmpty())
        endProcess(0);
    const QString serviceAddress = platform::HostLookup::serviceAddress();
    platform::Trace::event(QStringLiteral("service-address"), serviceAddress);
    const QString shellPath = platform::ExeDir::file(platform::Process::executableName(QStringLiteral("kavrenbox")));

    if (!QFileInfo::exists(shellPath)) {
        platform::Prompts::messageBox(nullptr, kCaption, QStringLiteral("缺失主程序，请到官网下载最新版Kavren工具箱！"),
                                      platform::Prompts::Buttons::Ok);
        platform::DesktopOpen::open(platform::ServiceConfig::supportSite());
        endProcess(0);
    }
    startShell(shellPath);
    return 0;
}

QString CkavrenupApp::shellCommandLine(const QString& shellPath)
{
    return QLatin1Char('"') + shellPath + QLatin1Char('"') + QLatin1String(" /start");
}

void CkavrenupApp::startShell(const QString& shellPath)
{
    if (!QFileInfo::exists(shellPath))
        return;
    if (!QFileInfo(shellPath).isReadable()) {
        platform::Prompts::messageBox(nullptr, kCaption, QStringLiteral("您没有读取文件 %1 的权限.").arg(shellPath),
                                      platform::Prompts::Buttons::Ok);
        endProcess(1);
    }
    QStringList parts = QProcess::splitCommand(shellCommandLine(shellPath));
    const QString program = parts.takeFirst();
    platform::Trace::event(QStringLiteral("start-shell"), shellCommandLine(shellPath));
    if (!platform::Process::startDetached(program, parts, platform::ExeDir::path()))
        platform::DesktopOpen::open(shellPath);
    endProcess(1);
}

} // namespace updater
