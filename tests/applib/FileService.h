#pragma once

#include "devservice/DevService.h"

#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// The dev service in this process on loopback, port 0, serving a temporary folder under
// /files/ and logging to a file, with helpers to make remote files, set their misbehaviour
// and read back which ranges were asked for. Local (downloaded) files go to a folder of their
// own in the same temporary root; everything is deleted with the object.
class FileService
{
public:
    FileService();
    ~FileService();
    FileService(const FileService&) = delete;
    FileService& operator=(const FileService&) = delete;

    bool ok() const { return m_ok; }
    int port() const;
    std::string root() const;

    // http://127.0.0.1:<port>/files/<name>
    QString url(const std::string& name) const;
    // A path in the local folder (the download's destination).
    QString localPath(const std::string& name) const;

    // Writes a remote file of pseudo-random bytes and returns its content.
    std::string makeFile(const std::string& name, std::int64_t size, unsigned seed = 1);
    // A remote file of that size without its blocks on disk (for sizes above 2 GiB).
    void makeSparseFile(const std::string& name, std::int64_t size);

    // POST /control/files with a JSON rule; true when the service accepted it.
    bool setRule(const std::string& json);
    // HTTP status of POST /control/files with that body.
    int postRule(const std::string& body);
    void clearRules();

    // The Range header values ("none" when absent) of the requests for /files/<name>, in order.
    std::vector<std::string> ranges(const std::string& name) const;
    std::vector<std::string> logLines() const;

    static std::string readFile(const QString& path);
    static void writeFile(const QString& path, const std::string& content);
    static bool exists(const QString& path);

private:
    bool m_ok = false;
    QTemporaryDir m_root;
    std::unique_ptr<devservice::DevService> m_service;
};

// Pseudo-random bytes, the same for the same seed.
std::string randomBytes(std::int64_t size, unsigned seed);

} // namespace testsupport
