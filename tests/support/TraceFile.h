#pragma once

#include <string>
#include <vector>

namespace testsupport {

// Reads the event trace the programs write when KAVREN_TRACE_FILE is set.
class TraceFile
{
public:
    explicit TraceFile(std::string path);
    const std::string& path() const { return m_path; }
    std::vector<std::string> lines() const;
    // Waits until a line contains every given text; returns it, or an empty text after timeoutMs.
    std::string waitFor(const std::vector<std::string>& texts, int timeoutMs) const;
    bool contains(const std::vector<std::string>& texts) const;

private:
    std::string m_path;
};

} // namespace testsupport
