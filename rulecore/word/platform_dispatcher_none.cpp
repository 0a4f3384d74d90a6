#include <memory>

#include "rulecore/word/platform_dispatcher.h"

namespace rulecore::word {

namespace {

// Stands in where no engine is built: nothing can be created, every call fails
// quietly, so a document run goes through its steps and changes nothing.
class NoEngineDispatcher final : public AutomationDispatcher {
public:
    void beginThread() override {}
    void endThread() override {}
    AutomationObject createObject(std::string_view) override { return {}; }
    AutomationValue invoke(const AutomationObject&, Access, std::string_view, std::span<AutomationValue>,
                           ResultKind want) override {
        recordCallOutcome(false);
        return emptyResult(want);
    }
};

}  // namespace

std::unique_ptr<AutomationDispatcher> makePlatformDispatcher() { return std::make_unique<NoEngineDispatcher>(); }

}  // namespace rulecore::word
