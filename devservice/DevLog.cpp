#include "devservice/DevLog.h"

namespace devservice {

DevLog::DevLog(const std::string& path)
{
    if (!path.empty())
        m_file = std::fopen(path.c_str(), "a");
}

DevLog::~DevLog()
{
    if (m_file)
        std::fclose(m_file);
}

void DevLog::line(const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::fprintf(stdout, "%s\n", text.c_str());
    std::fflush(stdout);
    if (m_file) {
        std::fprintf(m_file, "%s\n", text.c_str());
        std::fflush(m_file);
    }
}

} // namespace devservice
