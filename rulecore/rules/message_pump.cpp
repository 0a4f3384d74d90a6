#include "rulecore/rules/message_pump.h"

#include <atomic>

namespace rulecore {
namespace {
std::atomic<MessagePump> currentPump{nullptr};
}

void setMessagePump(MessagePump pump) { currentPump.store(pump); }

void pumpMessages() {
    if (MessagePump pump = currentPump.load()) pump();
}

}  // namespace rulecore
