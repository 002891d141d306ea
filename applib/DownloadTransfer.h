#pragma once

#include "applib/AsyncDownload.h"
#include "applib/DownloadFile.h"
#include "applib/DownloadResult.h"
#include "applib/DownloadTrailer.h"
#include "applib/PartialFile.h"
#include "applib/ResponseHead.h"

#include <QByteArray>
#include <QString>

#include <curl/curl.h>

#include <chrono>
#include <optional>

namespace applib {

// One DownloadFile call on the libcurl easy interface, on the calling thread. libcurl's
// callbacks drive it: the header callback decides at the final answer's head whether and
// where the body goes, the body callback fills the partial file, and the progress callback
// (called at least about once a second, also while nothing arrives) applies cancel, pause
// and the time limits.
class DownloadTransfer
{
public:
    DownloadTransfer(AsyncDownload& download, DownloadTrailer trailer, StaleFileHook onStaleFile);

    DownloadResult run(const QString& url, const QString& localPath);

    // The time limits: connecting, and from sending a request to the end of its answer's
    // headers; then the longest wait for body data.
    static constexpr std::chrono::milliseconds kConnectTimeout { 5000 };
    static constexpr std::chrono::milliseconds kHeadTimeout { 5000 };
    static constexpr std::chrono::milliseconds kStallTimeout { 7000 };
    // libcurl's receive buffer: its default of 16 KiB costs about a third of the speed.
    static constexpr long kReceiveBufferBytes = 512 * 1024;

private:
    using Clock = std::chrono::steady_clock;

    enum class Stop {
        None,
        Cancelled,
        Refused, // a status other than 200 and 206
        AlreadyComplete, // 416 to a range that starts right at the end of the whole file
        TooLarge,
        RangeMismatch, // 206 whose range does not start at the offset asked for
        FileError,
        HeadTimeout,
        Stalled,
    };

    static size_t onHeader(char* data, size_t size, size_t count, void* self);
    static size_t onBody(char* data, size_t size, size_t count, void* self);
    static int onProgress(void* self, curl_off_t downloadTotal, curl_off_t downloadNow, curl_off_t uploadTotal,
                          curl_off_t uploadNow);
    static int onRequest(void* self, char* primaryIp, char* localIp, int primaryPort, int localPort);

    bool startBody();
    bool checkProgress();
    DownloadResult stopped(int error);
    DownloadResult failed(int error);
    DownloadResult finish(int curlCode);

    AsyncDownload& m_download;
    DownloadTrailer m_trailer;
    StaleFileHook m_onStaleFile;
    std::optional<PartialFile> m_file;
    QByteArray m_url;
    ResponseHead m_head;
    Stop m_stop = Stop::None;
    long m_refusedStatus = 0;
    // Where the whole file ends, when an answer said so (Content-Range, Content-Length); -1 if unknown.
    qint64 m_fileEnd = -1;
    bool m_reading = false;
    bool m_awaitingHead = false;
    Clock::time_point m_requestSent;
    Clock::time_point m_lastData;
};

} // namespace applib
