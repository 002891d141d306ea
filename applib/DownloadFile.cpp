#include "applib/DownloadFile.h"

#include "applib/DownloadTransfer.h"

namespace applib {

DownloadResult DownloadFile(AsyncDownload& download, const QString& url, const QString& localPath,
                            const QString& resumeKey)
{
    // The shell form stops silently when a stale file cannot be deleted.
    DownloadTransfer transfer(download, DownloadTrailer::shell(resumeKey), StaleFileHook());
    return transfer.run(url, localPath);
}

DownloadResult DownloadFile(AsyncDownload& download, const QString& url, const QString& localPath,
                            const StaleFileHook& onStaleFile)
{
    DownloadTransfer transfer(download, DownloadTrailer::updater(), onStaleFile);
    return transfer.run(url, localPath);
}

} // namespace applib
