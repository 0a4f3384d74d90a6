#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "rulecore/rules/expander.h"
#include "rulecore/rules/text.h"

namespace rulecheck {

// A warning about a rules text. Line numbers count CR LF lines from 1, the lines
// the programs read; the message is code page 936 and names no file.
struct Lint {
    std::size_t line = 0;
    rulecore::Text message;
};

// The pitfalls of a rules text as the given program reads it, in line order.
std::vector<Lint> lintRules(std::string_view text, rulecore::Variant variant);

// One warning as written to standard error, in the console's encoding:
// "file:line: warning: message\n". fileName is already in that encoding.
std::string lintLine(std::string_view fileName, const Lint& lint);

}  // namespace rulecheck
