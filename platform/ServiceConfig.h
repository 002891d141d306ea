#pragma once

#include <QString>

namespace platform {

// Relative paths of the service's pages; a page's address is the base URL followed by one of these.
namespace pages {
inline constexpr const char* kIndex = "RIRororiva/Index";
inline constexpr const char* kCourse = "Course/Index";
inline constexpr const char* kService = "Service/Index";
inline constexpr const char* kUserCenter = "UserCenter";
inline constexpr const char* kGoldExchange = "GoldExchange/Index";
inline constexpr const char* kMessages = "Messages";
inline constexpr const char* kLogin = "Account/Login";
inline constexpr const char* kSettings = "Account/Set";
inline constexpr const char* kAnnouncements = "Announcement/Index";
} // namespace pages

// Where the vendor's service lives. The values are compiled in (config/Deployment.h); for
// development and tests KAVREN_SERVICE_HOST, KAVREN_BASE_URL and KAVREN_SESSION_PORT override them.
class ServiceConfig
{
public:
    static QString versionText();
    static QString serviceHost();
    static QString fallbackAddress();
    // Always ends with "/".
    static QString baseUrl();
    static quint16 sessionPort();
    static QString supportSite();
    static QString supportNumber();

    // base URL + relative path, plain concatenation: exactly the one slash that ends the base URL.
    static QString pageUrl(const QString& relativePath);
    static QString joinUrl(const QString& baseUrl, const QString& relativePath);
};

} // namespace platform
