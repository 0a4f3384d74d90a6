#include "rulecore/word/platform_dispatcher.h"

#include "rulecore/word/com/com_dispatcher_win.h"

namespace rulecore::word {

std::unique_ptr<AutomationDispatcher> makePlatformDispatcher() {
    return std::make_unique<com::ComDispatcher>();
}

}  // namespace rulecore::word
