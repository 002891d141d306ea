#include "shell/MainSessionEvents.h"

#include "platform/MessageIds.h"
#include "platform/MessageMap.h"
#include "session/SessionRecord.h"

namespace shell {

MainSessionEvents::MainSessionEvents(platform::MessageMap& mainWindow)
    : m_mainWindow(mainWindow)
{
}

void MainSessionEvents::onNotice(const session::SessionRecord& record)
{
    m_mainWindow.send(platform::msg::kSessionNotice, static_cast<quintptr>(record.operation));
}

void MainSessionEvents::onDisplaced(const session::SessionRecord&)
{
    m_mainWindow.send(platform::msg::kSessionDisplaced);
}

void MainSessionEvents::onBadMember()
{
    m_mainWindow.send(platform::msg::kSessionBadMember);
}

void MainSessionEvents::onPushMessages(const QByteArray& commandText)
{
    m_mainWindow.send(platform::msg::kPushMessages, 0, commandText);
}

} // namespace shell
