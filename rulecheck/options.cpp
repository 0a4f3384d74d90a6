#include "rulecheck/options.h"

#include <cctype>

namespace rulecheck {
namespace {

std::optional<rulecore::Variant> variantNamed(std::string_view name) {
    if (name == "fillrun") return rulecore::Variant::FillRun;
    if (name == "fillprint") return rulecore::Variant::FillPrint;
    if (name == "pickpaste") return rulecore::Variant::PickPaste;
    return std::nullopt;
}

// Reads exactly `digits` decimal digits at pos.
std::optional<int> number(std::string_view text, std::size_t pos, std::size_t digits) {
    if (pos + digits > text.size()) return std::nullopt;
    int value = 0;
    for (std::size_t i = pos; i < pos + digits; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

int daysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

}  // namespace

std::string_view usageText() {
    return "usage: rulecheck [--program fillrun|fillprint|pickpaste] "
           "[--now \"YYYY-MM-DD HH:MM:SS\"] [--json] RULES_FILE [KEY...]\n";
}

std::optional<rulecore::LocalTime> parseTimestamp(std::string_view text) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    auto year = number(text, 0, 4), month = number(text, 5, 2), day = number(text, 8, 2);
    auto hour = number(text, 11, 2), minute = number(text, 14, 2), second = number(text, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
    if (*year < 1 || *month < 1 || *month > 12 || *day < 1 ||
        *day > daysInMonth(*year, *month) || *hour > 23 || *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    return rulecore::LocalTime{*year, *month, *day, *hour, *minute, *second};
}

std::variant<Options, UsageError> parseArguments(const std::vector<std::string>& args) {
    Options options;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positional.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return options;
        }
        if (arg == "--json") {
            options.json = true;
            continue;
        }
        // --program X, --program=X, --now X, --now=X
        std::string_view name = arg;
        std::optional<std::string_view> value;
        if (std::size_t eq = arg.find('='); eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        if (name != "--program" && name != "--now") {
            return UsageError{"unknown option " + std::string(arg)};
        }
        if (!value) {
            if (i + 1 >= args.size()) return UsageError{std::string(name) + " needs a value"};
            value = args[++i];
        }
        if (name == "--program") {
            auto variant = variantNamed(*value);
            if (!variant) {
                return UsageError{"--program must be fillrun, fillprint or pickpaste, not " +
                                  std::string(*value)};
            }
            options.variant = *variant;
        } else {
            options.now = parseTimestamp(*value);
            if (!options.now) {
                return UsageError{"--now must read \"YYYY-MM-DD HH:MM:SS\", not " +
                                  std::string(*value)};
            }
        }
    }
    if (positional.empty()) return UsageError{"no rules file given"};
    options.rulesPath = positional.front();
    options.keys.assign(positional.begin() + 1, positional.end());
    return options;
}

}  // namespace rulecheck
