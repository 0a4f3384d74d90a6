#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rulecheck/fixed_clock.h"
#include "rulecheck/format.h"
#include "rulecheck/options.h"
#include "rulecore/rules/expander.h"
#include "rulecore/rules/rules_table.h"

namespace rulecheck {

// Expands one key the way the program of that variant would, recording its reports
// instead of showing them and noting where the program would have ended.
KeyResult expandKey(const rulecore::RulesTable& table, rulecore::Variant variant,
                    rulecore::Clock& clock, const rulecore::Text& key);

// The platform's command-line bytes as code page 936 text (UTF-8 on Linux, ANSI
// bytes as they are on Windows).
rulecore::Text argumentText(std::string_view argument);
// Whether the file can be opened for reading (a path in code page 936).
bool fileReadable(const rulecore::Text& path);

// The whole tool: owns the options, the loaded rules and the clock for one run.
class RulecheckApp {
public:
    // args without the program name; returns the exit code.
    int run(const std::vector<std::string>& args);

private:
    int check();
    bool load();
    void expandAll();
    void write(const KeyResult& result);
    void writeLatePairs();
    void out(std::string_view bytes);
    void flush();
    rulecore::Clock& clock();

    Options options_;
    rulecore::RulesState rules_;
    rulecore::SystemClock systemClock_;
    std::optional<FixedClock> fixedClock_;
    std::string pending_;
    bool allFine_ = true;
};

}  // namespace rulecheck
