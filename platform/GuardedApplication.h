#pragma once

#include <QApplication>

namespace platform {

// The application object of both programs: an exception escaping any event handler reaches
// the last-chance handler instead of unwinding through Qt.
class GuardedApplication : public QApplication
{
    Q_OBJECT
public:
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace platform
