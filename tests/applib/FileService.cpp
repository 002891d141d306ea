#include "tests/applib/FileService.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <QDir>
#include <QFile>

#include <chrono>
#include <fstream>
#include <random>
#include <sstream>

namespace testsupport {

std::string randomBytes(std::int64_t size, unsigned seed)
{
    std::mt19937 generator(seed);
    std::string out(static_cast<size_t>(size), '\0');
    for (auto& c : out)
        c = static_cast<char>(generator() & 0xFF);
    return out;
}

FileService::FileService()
{
    if (!m_root.isValid())
        return;
    QDir(m_root.path()).mkpath(QStringLiteral("files"));
    QDir(m_root.path()).mkpath(QStringLiteral("local"));

    devservice::DevServiceOptions options;
    options.httpPort = 0;
    options.sessionPort = 0;
    options.pagesDir = std::string(KAVREN_SOURCE_DIR) + "/devservice/pages";
    options.logPath = root() + "/service.log";
    options.filesDir = root() + "/files";
    m_service = std::make_unique<devservice::DevService>(options);
    std::string error;
    if (!m_service->start(&error)) {
        ADD_FAILURE() << "dev service: " << error;
        return;
    }
    m_service->runInBackground();
    m_ok = m_service->http().is_running();
}

FileService::~FileService() = default;

int FileService::port() const
{
    return m_service ? m_service->httpPort() : -1;
}

std::string FileService::root() const
{
    return m_root.path().toStdString();
}

QString FileService::url(const std::string& name) const
{
    return QStringLiteral("http://127.0.0.1:%1/files/%2").arg(port()).arg(QString::fromStdString(name));
}

QString FileService::localPath(const std::string& name) const
{
    return m_root.path() + QStringLiteral("/local/") + QString::fromStdString(name);
}

std::string FileService::makeFile(const std::string& name, std::int64_t size, unsigned seed)
{
    std::string content = randomBytes(size, seed);
    std::ofstream out(root() + "/files/" + name, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return content;
}

void FileService::makeSparseFile(const std::string& name, std::int64_t size)
{
    QFile file(QString::fromStdString(root() + "/files/" + name));
    if (!file.open(QIODevice::WriteOnly) || !file.resize(size))
        ADD_FAILURE() << "cannot make the sparse file " << name;
}

int FileService::postRule(const std::string& body)
{
    httplib::Client client("127.0.0.1", port());
    const auto answer = client.Post("/control/files", body, "application/json");
    return answer ? answer->status : -1;
}

bool FileService::setRule(const std::string& json)
{
    return postRule(json) == 200;
}

void FileService::clearRules()
{
    httplib::Client client("127.0.0.1", port());
    client.Delete("/control/files");
}

std::vector<std::string> FileService::logLines() const
{
    std::ifstream in(root() + "/service.log");
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

std::vector<std::string> FileService::ranges(const std::string& name) const
{
    const std::string prefix = "files GET /files/" + name + " range=";
    std::vector<std::string> out;
    for (const auto& line : logLines()) {
        if (line.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string rest = line.substr(prefix.size());
        out.push_back(rest.substr(0, rest.find(' ')));
    }
    return out;
}

std::string FileService::readFile(const QString& path)
{
    std::ifstream in(QFile::encodeName(path).toStdString(), std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

void FileService::writeFile(const QString& path, const std::string& content)
{
    std::ofstream out(QFile::encodeName(path).toStdString(), std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

bool FileService::exists(const QString& path)
{
    return QFile::exists(path);
}

} // namespace testsupport
