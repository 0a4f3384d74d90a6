#pragma once

#include "rulecore/rules/expander.h"
#include "rulecore/rules/rules_table.h"
#include "rulecore/rules/text.h"
#include "rulecore/run/status_sink.h"
#include "rulecore/word/automation.h"

namespace rulecore::word {
class WordSession;
}

namespace rulecore::run {

// The two front ends differ in how often they ask Word to quit.
enum class FrontEnd { FillRun, FillPrint };

// What one run is asked to do. Names are relative to the run directory.
struct RunRequest {
    Text templateName;
    Text outputName;  // empty when nothing is saved
    bool save = false;
    bool print = false;
};

// The run's waits go through here so tests need not sit through them.
class Sleeper {
public:
    virtual void sleep(unsigned milliseconds) = 0;

protected:
    ~Sleeper() = default;
};

class SystemSleeper final : public Sleeper {
public:
    void sleep(unsigned milliseconds) override;
};

inline constexpr unsigned fixedWaitMilliseconds = 5000;
inline constexpr unsigned printPollMilliseconds = 500;
inline constexpr unsigned printPollLimitMilliseconds = 60000;

// One pass of the loaded rules over a template: open, three replace passes,
// save and/or print, wait, quit. Each run starts and ends its own Word.
class DocumentRun {
public:
    DocumentRun(word::AutomationDispatcher& dispatcher, const RulesState& rules,
                ConstantExpander& expander, Sleeper& sleeper, Text runDirectory,
                FrontEnd frontEnd);

    // A rules error that ends the program leaves as ProgramEnd, after Word has
    // been asked to quit; nothing is saved or printed then.
    void run(const RunRequest& request, StatusSink& sink);

private:
    void keyPass(word::WordSession& session);
    void latePass(word::WordSession& session);
    void waitForPrinting(word::WordSession& session);
    void requestQuit(word::WordSession& session);

    word::AutomationDispatcher& dispatcher_;
    const RulesState& rules_;
    ConstantExpander& expander_;
    Sleeper& sleeper_;
    Text runDirectory_;
    FrontEnd frontEnd_;
};

}  // namespace rulecore::run
