#include "rulecore/word/automation.h"

namespace rulecore::word {

namespace {
// No call has succeeded on a thread that has made none.
thread_local bool lastOutcome = false;
}  // namespace

bool lastCallSucceeded() { return lastOutcome; }

void recordCallOutcome(bool succeeded) { lastOutcome = succeeded; }

}  // namespace rulecore::word
