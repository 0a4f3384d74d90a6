#pragma once

#include <string>
#include <string_view>

#include "rulecore/rules/text.h"

namespace rulecore::test {

// Tests write the system's texts as readable u8"" literals; this turns them into
// the code page 936 bytes the programs use.
Text cp(std::u8string_view utf8);

// And back, for readable failure messages and UTF-8 outputs.
std::string utf8(std::string_view cp936);

}  // namespace rulecore::test
