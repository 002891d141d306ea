#pragma once

#include "applib/AsyncDownload.h"
#include "applib/DownloadResult.h"

#include <QString>

#include <functional>

namespace applib {

// Called by the updater form, on the download's thread, when a stale file at the local path
// cannot be deleted; the call then returns Stopped. The engine itself never shows anything:
// the updater hands in a hook that lets its GUI thread tell the user (see StaleFileNotice).
using StaleFileHook = std::function<void(const QString& localPath)>;

// Fetches an http or https URL into localPath, resuming an earlier interrupted attempt whose
// trailer is at the end of the file. Blocks the calling worker thread; never call it on a GUI
// thread. Every request carries "Range: bytes=N-" with the resume offset N (0 too). Progress
// is in download.received and download.total; download.cancelRequested stops the call within
// about a second; download.pause() holds it between two reads.
//
// Results and download.lastError:
//  - Completed: the file holds exactly the whole body.
//  - Failed (libcurl's code): a network error; connecting or the answer's headers taking more
//    than 5 s, or no data for 7 s (28); an answer that ends before the file does; a local write
//    error (23). Payload plus trailer stay for the next call, which resumes.
//  - Stopped: a cancel (-1; trailer written when reading had begun); a refusal by the server,
//    any status but 200 and 206 (the status; the file as it was); a URL that is not http(s)
//    with a host (3); a file of 2 GiB or more (63); a partial answer that does not start at
//    the offset asked for (33); a local file that cannot be replaced or created (23).
// A 200 answer to a request with an offset carries the whole file: the file restarts at byte
// 0. A 416 answer saying the file ends exactly at the offset completes the file as it is.
//
// Shell form: the trailer (40 bytes) carries resumeKey, and only a trailer with the same key
// resumes. A key longer than 9 bytes does not fit the trailer: that download never resumes
// and leaves no trailer. Pass QString() for no key (the head image).
DownloadResult DownloadFile(AsyncDownload& download, const QString& url, const QString& localPath,
                            const QString& resumeKey);

// Updater form: a 44-byte trailer without a key. When a stale file cannot be deleted,
// onStaleFile (if set) is called with localPath before the call returns Stopped.
DownloadResult DownloadFile(AsyncDownload& download, const QString& url, const QString& localPath,
                            const StaleFileHook& onStaleFile);

} // namespace applib
