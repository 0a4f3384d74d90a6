#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "rulecore/rules/expander.h"

namespace rulecheck {

// What the command line asks for. Paths and keys are kept as the arguments came
// (UTF-8 on Linux, ANSI bytes on Windows); the app converts them.
struct Options {
    rulecore::Variant variant = rulecore::Variant::FillRun;
    std::optional<rulecore::LocalTime> now;
    bool json = false;
    bool help = false;
    std::string rulesPath;
    std::vector<std::string> keys;
};

struct UsageError {
    std::string message;
};

// args without the program name.
std::variant<Options, UsageError> parseArguments(const std::vector<std::string>& args);

// "YYYY-MM-DD HH:MM:SS", a real calendar date and a time of day.
std::optional<rulecore::LocalTime> parseTimestamp(std::string_view text);

std::string_view usageText();

}  // namespace rulecheck
