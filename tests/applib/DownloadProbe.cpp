// A one-shot downloader for the tests that need the engine in a process of its own (to kill
// it). Usage: kavren_download_probe URL PATH KEY    (shell form)
//             kavren_download_probe URL PATH --updater
// Prints "<result> <lastError> <received> <total>" and exits with the result's number.
#include "applib/DownloadFile.h"

#include <QString>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s URL PATH KEY|--updater\n", argv[0]);
        return 64;
    }
    const QString url = QString::fromLocal8Bit(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);
    applib::AsyncDownload download;
    const applib::DownloadResult result = std::strcmp(argv[3], "--updater") == 0
        ? applib::DownloadFile(download, url, path, applib::StaleFileHook())
        : applib::DownloadFile(download, url, path, QString::fromLocal8Bit(argv[3]));
    std::printf("%d %d %lld %lld\n", static_cast<int>(result), download.lastError.load(),
                static_cast<long long>(download.received.load()), static_cast<long long>(download.total.load()));
    return static_cast<int>(result);
}
