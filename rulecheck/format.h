#pragma once

#include <string>
#include <string_view>

#include "rulecore/rules/expander.h"
#include "rulecore/rules/rules_table.h"

namespace rulecheck {

// What one expansion did, as the program would have seen it. Texts are code page 936.
struct KeyResult {
    rulecore::Text key;
    rulecore::Text value;          // fillrun, fillprint
    bool shown = false;            // pickpaste
    rulecore::TextList items;      // pickpaste
    rulecore::TextList reports;    // in order, without line breaks
    bool found = true;
    bool ends = false;
};

// Makes control characters visible: \r \n \t \\ and \xNN for the others. Steps by
// characters, so a trail byte 0x5C of a two-byte character stays as it is.
rulecore::Text escapeControls(std::string_view text);

// Human-readable lines in code page 936, each ending in '\n'.
rulecore::Text humanResult(const KeyResult& result, rulecore::Variant variant);
rulecore::Text humanLate(const rulecore::Text& target, const rulecore::Text& text);

// One JSON Lines record each, UTF-8, ending in '\n'.
std::string jsonResult(const KeyResult& result, rulecore::Variant variant);
std::string jsonLate(const rulecore::Text& target, const rulecore::Text& text);

}  // namespace rulecheck
