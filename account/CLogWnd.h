#pragma once

#include <QDialog>

#include <functional>

namespace account {

// The login window. It hosts the service's login page; a completed login ends the dialog
// with LoggedIn set, and its close button leaves the program.
class CLogWnd : public QDialog
{
    Q_OBJECT
public:
    CLogWnd(double dpiScale, std::function<void()> exitShell, QWidget* parent = nullptr);

    bool loggedIn() const { return m_loggedIn; }

private:
    std::function<void()> m_exitShell;
    bool m_loggedIn = false;
};

} // namespace account
