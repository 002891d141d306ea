#pragma once

#include "session/SessionEvents.h"

namespace platform {
class MessageMap;
}

namespace shell {

// The receive loop's events, handed synchronously to the main window's message map: the
// receive thread waits until the GUI thread has handled each one (a dialog included), and
// reads nothing more meanwhile.
class MainSessionEvents : public session::SessionEvents
{
public:
    explicit MainSessionEvents(platform::MessageMap& mainWindow);

    void onNotice(const session::SessionRecord& record) override;
    void onDisplaced(const session::SessionRecord& record) override;
    void onBadMember() override;
    void onPushMessages(const QByteArray& commandText) override;

private:
    platform::MessageMap& m_mainWindow;
};

} // namespace shell
