#pragma once

namespace rulecore {

// Long scans let the window process pending messages. The windowed programs set
// a pump for their thread; by default it does nothing.
using MessagePump = void (*)();

void setMessagePump(MessagePump pump);
void pumpMessages();

}  // namespace rulecore
