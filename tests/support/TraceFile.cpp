#include "tests/support/TraceFile.h"

#include <chrono>
#include <fstream>
#include <thread>

namespace testsupport {

namespace {
bool matches(const std::string& line, const std::vector<std::string>& texts)
{
    for (const auto& t : texts) {
        if (line.find(t) == std::string::npos)
            return false;
    }
    return true;
}
} // namespace

TraceFile::TraceFile(std::string path)
    : m_path(std::move(path))
{
}

std::vector<std::string> TraceFile::lines() const
{
    std::vector<std::string> out;
    std::ifstream in(m_path);
    std::string line;
    while (std::getline(in, line))
        out.push_back(line);
    return out;
}

bool TraceFile::contains(const std::vector<std::string>& texts) const
{
    for (const auto& line : lines()) {
        if (matches(line, texts))
            return true;
    }
    return false;
}

std::string TraceFile::waitFor(const std::vector<std::string>& texts, int timeoutMs) const
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        for (const auto& line : lines()) {
            if (matches(line, texts))
                return line;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < deadline);
    return {};
}

} // namespace testsupport
