#include "applib/DownloadTransfer.h"

#include <QUrl>

#include <thread>

namespace applib {

namespace {

using Clock = std::chrono::steady_clock;

// libcurl's global set-up is not safe to run from two threads at once: do it once, first.
void initCurlOnce()
{
    static const bool done = [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        return true;
    }();
    (void)done;
}

// The URL as libcurl wants it (percent-encoded), or empty when it is not an http(s) URL
// with a host. Local files and other schemes are never fetched: the URL comes from the
// service's pages. Like a browser, the tolerant parse takes spaces and non-ASCII names.
QByteArray checkedUrl(const QString& url)
{
    const QUrl parsed(url, QUrl::TolerantMode);
    const QString scheme = parsed.scheme().toLower();
    if (!parsed.isValid() || parsed.host().isEmpty()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {};
    return parsed.toEncoded();
}

// Options both requests of a download share.
void applyCommonOptions(CURL* curl, const QByteArray& url)
{
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "asynchttp");
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(DownloadTransfer::kConnectTimeout.count()));
    // Certificate and host name checks stay at libcurl's default: on.
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
}

// The second request of a download whose answer had no Content-Length: the same URL without
// a range, read only up to the end of its answer's head. Runs on its own thread because it is
// made from inside a callback of the first request.
class SizeQuery
{
public:
    explicit SizeQuery(AsyncDownload& download)
        : m_download(download)
    {
    }

    // The whole file's size from a 200 answer's Content-Length; 0 when there is none.
    qint64 run(const QByteArray& url)
    {
        CURL* curl = curl_easy_init();
        if (!curl)
            return 0;
        applyCommonOptions(curl, url);
        curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &SizeQuery::onHeader);
        curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &SizeQuery::onBody);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &SizeQuery::onProgress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
        curl_easy_setopt(curl, CURLOPT_PREREQFUNCTION, &SizeQuery::onRequest);
        curl_easy_setopt(curl, CURLOPT_PREREQDATA, this);
        curl_easy_perform(curl); // ends with a write error on purpose once the head is read
        curl_easy_cleanup(curl);
        return m_size;
    }

private:
    static size_t onHeader(char* data, size_t size, size_t count, void* self)
    {
        auto* query = static_cast<SizeQuery*>(self);
        query->m_awaitingHead = false;
        if (query->m_head.feed(data, size * count)) {
            if (query->m_head.status() == 200 && query->m_head.contentLength() > 0)
                query->m_size = query->m_head.contentLength();
            return 0; // the body is not wanted
        }
        query->m_awaitingHead = true;
        return size * count;
    }

    static size_t onBody(char*, size_t, size_t, void*) { return 0; }

    static int onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
    {
        auto* query = static_cast<SizeQuery*>(self);
        if (query->m_download.cancelRequested.load())
            return 1;
        return query->m_awaitingHead && Clock::now() - query->m_requestSent > DownloadTransfer::kHeadTimeout ? 1 : 0;
    }

    static int onRequest(void* self, char*, char*, int, int)
    {
        auto* query = static_cast<SizeQuery*>(self);
        query->m_requestSent = Clock::now();
        query->m_awaitingHead = true;
        return CURL_PREREQFUNC_OK;
    }

    AsyncDownload& m_download;
    ResponseHead m_head;
    qint64 m_size = 0;
    bool m_awaitingHead = false;
    Clock::time_point m_requestSent;
};

} // namespace

DownloadTransfer::DownloadTransfer(AsyncDownload& download, DownloadTrailer trailer, StaleFileHook onStaleFile)
    : m_download(download)
    , m_trailer(std::move(trailer))
    , m_onStaleFile(std::move(onStaleFile))
{
}

DownloadResult DownloadTransfer::stopped(int error)
{
    m_download.lastError = error;
    return DownloadResult::Stopped;
}

DownloadResult DownloadTransfer::failed(int error)
{
    // A failure while a cancel is pending counts as the cancel.
    if (m_download.cancelRequested.load())
        return stopped(-1);
    m_download.lastError = error;
    return DownloadResult::Failed;
}

DownloadResult DownloadTransfer::run(const QString& url, const QString& localPath)
{
    m_download.lastError = 0;
    m_download.finished = false;

    m_url = checkedUrl(url);
    if (m_url.isEmpty())
        return stopped(CURLE_URL_MALFORMAT);
    if (m_download.cancelRequested.load())
        return stopped(-1);

    m_file.emplace(localPath, m_trailer);
    switch (m_file->open()) {
    case PartialFile::OpenResult::Resumed:
    case PartialFile::OpenResult::Fresh:
        break;
    case PartialFile::OpenResult::CannotDelete:
        if (m_onStaleFile)
            m_onStaleFile(localPath);
        return stopped(CURLE_WRITE_ERROR);
    case PartialFile::OpenResult::CannotCreate:
        return stopped(CURLE_WRITE_ERROR);
    }
    // total keeps its value until the answer tells the size: a retry shows the same progress.
    const qint64 offset = m_file->length();
    m_download.received = offset;

    initCurlOnce();
    CURL* curl = curl_easy_init();
    if (!curl)
        return failed(CURLE_FAILED_INIT);
    if (m_download.cancelRequested.load()) {
        curl_easy_cleanup(curl);
        return stopped(-1);
    }

    applyCommonOptions(curl, m_url);
    // Always a range, also from byte 0: "Range: bytes=N-".
    const QByteArray range = QByteArray::number(offset) + '-';
    curl_easy_setopt(curl, CURLOPT_RANGE, range.constData());
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &DownloadTransfer::onHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &DownloadTransfer::onBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &DownloadTransfer::onProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(curl, CURLOPT_PREREQFUNCTION, &DownloadTransfer::onRequest);
    curl_easy_setopt(curl, CURLOPT_PREREQDATA, this);

    const CURLcode code = curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    return finish(code);
}

DownloadResult DownloadTransfer::finish(int curlCode)
{
    // Whatever interrupted the body, the payload so far and its trailer go to the file.
    const auto suspend = [this] {
        if (!m_reading)
            return true;
        const bool ok = m_file->suspend();
        m_download.received = m_file->length(); // a block that could not be written is gone
        return ok;
    };

    switch (m_stop) {
    case Stop::Cancelled:
        suspend();
        return stopped(-1);
    case Stop::Refused:
        return stopped(static_cast<int>(m_refusedStatus));
    case Stop::AlreadyComplete:
        // The payload was whole already (an earlier call ended after its last byte): drop the
        // trailer.
        if (!m_file->complete())
            return failed(CURLE_WRITE_ERROR);
        m_download.total = m_download.received.load();
        m_download.finished = true;
        return DownloadResult::Completed;
    case Stop::TooLarge:
        suspend();
        return stopped(CURLE_FILESIZE_EXCEEDED);
    case Stop::RangeMismatch:
        return stopped(CURLE_RANGE_ERROR);
    case Stop::FileError:
        suspend();
        return failed(CURLE_WRITE_ERROR);
    case Stop::HeadTimeout:
    case Stop::Stalled:
        suspend();
        return failed(CURLE_OPERATION_TIMEDOUT);
    case Stop::None:
        break;
    }

    if (curlCode != CURLE_OK || !m_reading) {
        suspend();
        return failed(curlCode != CURLE_OK ? curlCode : CURLE_RECV_ERROR);
    }
    if (m_fileEnd >= 0 && m_file->length() < m_fileEnd) {
        // The answer ended before the file does: keep what came, the next call asks for the rest.
        suspend();
        return failed(CURLE_PARTIAL_FILE);
    }
    if (!m_file->complete())
        return failed(CURLE_WRITE_ERROR);
    m_download.finished = true;
    return DownloadResult::Completed;
}

bool DownloadTransfer::startBody()
{
    const long status = m_head.status();
    const qint64 offset = m_file->length();

    if (status == 416 && m_head.rangeTotal() == offset) {
        m_stop = Stop::AlreadyComplete;
        return false;
    }
    if (status != 200 && status != 206) {
        m_stop = Stop::Refused;
        m_refusedStatus = status;
        return false;
    }
    if (status == 206 && m_head.rangeStart() >= 0 && m_head.rangeStart() != offset) {
        m_stop = Stop::RangeMismatch;
        return false;
    }

    // A 200 answer carries the whole file whatever the range asked for.
    const qint64 start = status == 200 ? 0 : offset;
    qint64 total = 0;
    if (m_head.contentLength() >= 0) {
        total = start + m_head.contentLength();
        m_fileEnd = total;
        // A server may answer a range with less than the rest of the file; the whole size
        // is then in Content-Range.
        if (status == 206 && m_head.rangeTotal() > total)
            total = m_fileEnd = m_head.rangeTotal();
    } else {
        // No size in the answer: ask once more without a range (libcurl must not be called
        // from its own callback, so on a thread of its own) and take that answer's size.
        SizeQuery query(m_download);
        std::thread asker([&] { total = query.run(m_url); });
        asker.join();
    }
    if (total > PartialFile::kMaxPayload) {
        m_stop = Stop::TooLarge;
        return false;
    }
    if (start == 0 && offset > 0 && !m_file->restart()) {
        m_stop = Stop::FileError;
        return false;
    }
    m_download.total = total;
    m_download.received = start;
    m_reading = true;
    m_lastData = Clock::now();
    return true;
}

size_t DownloadTransfer::onHeader(char* data, size_t size, size_t count, void* self)
{
    auto* transfer = static_cast<DownloadTransfer*>(self);
    const size_t length = size * count;
    const bool finalHead = transfer->m_head.feed(data, length);
    if (QByteArray::fromRawData(data, static_cast<qsizetype>(length)).trimmed().isEmpty())
        transfer->m_awaitingHead = false; // the end of some answer's head; a redirect sends a new request
    if (!finalHead)
        return length;
    return transfer->startBody() ? length : 0;
}

size_t DownloadTransfer::onBody(char* data, size_t size, size_t count, void* self)
{
    auto* transfer = static_cast<DownloadTransfer*>(self);
    const auto length = static_cast<qint64>(size * count);
    if (transfer->m_stop != Stop::None || !transfer->m_reading)
        return 0;
    AsyncDownload& download = transfer->m_download;
    if (download.cancelRequested.load()) {
        transfer->m_stop = Stop::Cancelled;
        return 0;
    }
    if (transfer->m_file->length() + length > PartialFile::kMaxPayload) {
        transfer->m_stop = Stop::TooLarge;
        return 0;
    }
    if (!transfer->m_file->append(data, length)) {
        transfer->m_stop = Stop::FileError;
        return 0;
    }
    download.received = transfer->m_file->length();
    transfer->m_lastData = Clock::now();
    return size * count;
}

int DownloadTransfer::onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<DownloadTransfer*>(self)->checkProgress() ? 0 : 1;
}

bool DownloadTransfer::checkProgress()
{
    if (m_download.cancelRequested.load()) {
        m_stop = Stop::Cancelled;
        return false;
    }
    if (m_download.waitWhilePaused()) {
        if (m_download.cancelRequested.load()) {
            m_stop = Stop::Cancelled;
            return false;
        }
        // Time spent paused is not a stall.
        m_lastData = Clock::now();
        m_requestSent = Clock::now();
    }
    const auto now = Clock::now();
    if (m_awaitingHead && now - m_requestSent > kHeadTimeout) {
        m_stop = Stop::HeadTimeout;
        return false;
    }
    if (m_reading && now - m_lastData > kStallTimeout) {
        m_stop = Stop::Stalled;
        return false;
    }
    if (m_reading && !m_file->writeIfDue()) {
        m_stop = Stop::FileError;
        return false;
    }
    return true;
}

int DownloadTransfer::onRequest(void* self, char*, char*, int, int)
{
    auto* transfer = static_cast<DownloadTransfer*>(self);
    transfer->m_requestSent = Clock::now();
    transfer->m_awaitingHead = true;
    return CURL_PREREQFUNC_OK;
}

} // namespace applib
