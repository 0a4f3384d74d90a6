#pragma once

#include <string_view>

#include "rulecore/rules/text.h"

namespace fillrun {

// Splits the raw ANSI command line of the process into the arguments after the
// program name. Quotes group but are never part of an argument, an empty pair
// gives an empty argument, there is no escape character, and a byte of 0x80 or
// above always takes the byte after it along.
rulecore::TextList splitCommandLine(std::string_view commandLine);

// ASCII a-z to A-Z; double-byte characters are left alone.
rulecore::Text upperAscii(std::string_view text);

}  // namespace fillrun
