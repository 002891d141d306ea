#include "platform/GuardedApplication.h"

#include "platform/LastChance.h"

namespace platform {

GuardedApplication::GuardedApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        LastChance::fail();
    }
}

} // namespace platform
