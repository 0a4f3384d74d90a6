#pragma once

#include <memory>

#include "rulecore/word/automation.h"

namespace rulecore::word {

// The dispatcher the programs drive Word through: COM on Windows, the LibreOffice
// engine on Linux, or, in builds without an engine, one whose every call fails
// quietly.
std::unique_ptr<AutomationDispatcher> makePlatformDispatcher();

}  // namespace rulecore::word
