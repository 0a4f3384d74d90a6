#pragma once

#include <string_view>

#include "rulecore/rules/report.h"
#include "rulecore/rules/rules_table.h"

namespace rulecore {

// Empties both tables, takes the late groups out of the text, then reads the
// definition lines of what is left.
void parseRules(std::string_view text, RulesState& state);

// Appends the text's KEY==VALUE lines to the table; comment lines start with "'".
void parseDefinitions(std::string_view text, RulesTable& table);

// fillrun: run directory + separator + name. A missing file is reported (the name
// as typed) and ends the program; an unreadable one is empty text.
void loadRulesFile(const Text& runDirectory, const Text& name, RulesState& state,
                   Reporter& reporter);

// pickpaste: reads the constants file of the run directory, or creates it with the
// default content (the reference card) and leaves the table empty.
void loadConstantsFile(const Text& runDirectory, RulesTable& table);

// The default content of the constants file: 19 lines joined by CR LF.
Text defaultConstantsContent();

}  // namespace rulecore
