#pragma once

#include <cstdio>
#include <mutex>
#include <string>

namespace devservice {

// One line per event, to standard output and, when given, to a log file that tests read.
class DevLog
{
public:
    explicit DevLog(const std::string& path);
    ~DevLog();
    DevLog(const DevLog&) = delete;
    DevLog& operator=(const DevLog&) = delete;

    void line(const std::string& text);

private:
    std::mutex m_mutex;
    std::FILE* m_file = nullptr;
};

} // namespace devservice
