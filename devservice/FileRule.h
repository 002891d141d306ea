#pragma once

#include <cstdint>
#include <string>

namespace devservice {

// How the file server misbehaves for one path, set by a test through POST /control/files.
// Offsets are positions in the file, so a request that starts at or past one is not affected
// by it (a resumed download gets past the fault that cut the first one). JSON members:
//   "throttle": bytes per second (0: full speed)
//   "stallAfter": K, "stallSeconds": N   pause N seconds when the body reaches byte K
//   "dropAfter": K                       close the connection when the body reaches byte K
//   "delayHeaders": N                    wait N seconds before answering at all
//   "status": S                          answer with status S and a short text (e.g. 404)
//   "ignoreRange": true                  answer 200 with the whole file whatever Range says
//   "noContentLength": true              no Content-Length (chunked) on every answer
//   "noContentLengthForRange": true      no Content-Length only when the request has a Range
//   "rangeLimit": N                      answer a range with at most N bytes (206, honest Content-Range)
//   "redirectTo": URL                    answer 302 to that URL (or path)
//   "uses": N                            forget the rule after N requests (0: keep it)
struct FileRule
{
    std::int64_t throttle = 0;
    std::int64_t stallAfter = -1;
    double stallSeconds = 0;
    std::int64_t dropAfter = -1;
    double delayHeaders = 0;
    int status = 0;
    bool ignoreRange = false;
    bool noContentLength = false;
    bool noContentLengthForRange = false;
    std::int64_t rangeLimit = 0;
    std::string redirectTo;
    int uses = 0;

    // True for the rule of a path that behaves normally.
    bool isNone() const
    {
        return throttle == 0 && stallAfter < 0 && dropAfter < 0 && delayHeaders == 0 && status == 0 && !ignoreRange
            && !noContentLength && !noContentLengthForRange && rangeLimit == 0 && redirectTo.empty();
    }

    // Reads "path" (required, e.g. "/files/a.bin") and the members above from a JSON object
    // text; false (with error) when the text is not an object, the path is missing or a member
    // has the wrong type.
    static bool fromJson(const std::string& text, std::string* path, FileRule* rule, std::string* error);
};

} // namespace devservice
