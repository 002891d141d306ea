#pragma once

#include <QDialog>
#include <QString>

#include <memory>

namespace platform {
class MessageMap;
class SingleInstance;
} // namespace platform

namespace account {
class CLogWnd;
}

namespace shell {

class ShellExit;

// The shell's main dialog. Its initialisation is the start-up spine: executable folder,
// service address, single instance, the "/start" check, display scale, then the login window;
// only a successful login lets the main window's own set-up go on.
class CPelmoraDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CPelmoraDlg(QWidget* parent = nullptr);
    ~CPelmoraDlg() override;

    // Runs the start-up steps. Early exits end the process; returns true when the dialog is ready.
    bool onInitDialog();

    platform::MessageMap* messages() const { return m_messages; }
    ShellExit& shellExit() { return *m_exit; }
    const QString& serviceAddress() const { return m_serviceAddress; }
    double dpiScale() const { return m_dpiScale; }
    int startPage() const { return m_startPage; }

private:
    void onShowRequest();

    platform::MessageMap* m_messages;
    std::unique_ptr<ShellExit> m_exit;
    std::unique_ptr<platform::SingleInstance> m_instance;
    std::unique_ptr<account::CLogWnd> m_logWnd;
    QString m_serviceAddress;
    double m_dpiScale = 1.0;
    int m_isShown = 0;
    int m_startPage = 1;
    bool m_initialised = false;
};

} // namespace shell
