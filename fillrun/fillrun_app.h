#pragma once

#include "rulecore/rules/expander.h"
#include "rulecore/rules/report.h"
#include "rulecore/rules/rules_table.h"
#include "rulecore/rules/text.h"
#include "rulecore/run/document_run.h"

namespace fillrun {

// Rules messages as console lines.
class ConsoleReporter final : public rulecore::Reporter {
public:
    void report(rulecore::ReportKind kind, const rulecore::Text& text, bool endsProgram) override;
};

// Everything fillrun keeps for its one command. main owns it; it is freed on
// every path, also when a lower layer ends the program by throwing ProgramEnd.
class FillRunApp {
public:
    explicit FillRunApp(rulecore::Text runDirectory);

    // Performs the command the arguments (after the program name) name. Returns
    // when the command is done; rulecore::ProgramEnd leaves it when a rules
    // error ends the program earlier.
    void run(const rulecore::TextList& arguments);

private:
    rulecore::Text runDirectory_;
    rulecore::RulesState rules_;
    rulecore::SystemClock clock_;
    ConsoleReporter reporter_;
    rulecore::ConstantExpander expander_;
    rulecore::run::SystemSleeper sleeper_;
};

// Writes a message of code page 936 bytes to standard output in one piece.
void writeMessage(const rulecore::Text& message);

}  // namespace fillrun
