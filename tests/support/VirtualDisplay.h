#pragma once

#include <QString>

class QProcess;

namespace testsupport {

// A private X server (Xvfb) for tests that drive real windows as a user would: typing and
// clicking with xdotool, screenshots with ImageMagick's import.
class VirtualDisplay
{
public:
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool ok() const { return !m_name.isEmpty(); }
    // ":N"
    const QString& name() const { return m_name; }

    // The id of the first visible window whose title contains `title`, or empty after timeoutMs.
    QString waitForWindow(const QString& title, int timeoutMs) const;
    // xdotool with the given arguments against this display; true when it succeeded.
    bool xdotool(const QStringList& arguments) const;
    // A left click at (x, y) inside the window, then the text typed key by key.
    bool clickAndType(const QString& window, int x, int y, const QString& text) const;
    bool key(const QString& window, const QString& keyName) const;
    bool screenshot(const QString& window, const QString& pngPath) const;

private:
    QProcess* m_server = nullptr;
    QString m_name;
};

} // namespace testsupport
