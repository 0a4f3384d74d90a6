#include <gtest/gtest.h>

#include "rulecheck/options.h"

namespace rulecheck {
namespace {

using rulecore::Variant;

TEST(Arguments, ReadsProgramClockJsonFileAndKeys) {
    auto parsed = parseArguments({"--program", "pickpaste", "--now=2024-02-29 23:59:58",
                                  "--json", "rules.txt", "a", "--", "-b"});
    ASSERT_TRUE(std::holds_alternative<Options>(parsed));
    const auto& options = std::get<Options>(parsed);
    EXPECT_EQ(options.variant, Variant::PickPaste);
    ASSERT_TRUE(options.now.has_value());
    EXPECT_EQ(options.now->year, 2024);
    EXPECT_EQ(options.now->day, 29);
    EXPECT_EQ(options.now->second, 58);
    EXPECT_TRUE(options.json);
    EXPECT_EQ(options.rulesPath, "rules.txt");
    EXPECT_EQ(options.keys, (std::vector<std::string>{"a", "-b"}));
}

TEST(Arguments, DefaultsToFillrunWithTheSystemClock) {
    auto options = std::get<Options>(parseArguments({"rules.txt"}));
    EXPECT_EQ(options.variant, Variant::FillRun);
    EXPECT_FALSE(options.now.has_value());
    EXPECT_FALSE(options.json);
    EXPECT_TRUE(options.keys.empty());
}

TEST(Arguments, RejectsWhatCannotBeRun) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--json"},
        {"--program", "word", "rules.txt"},
        {"--program"},
        {"--now", "2024-02-30 00:00:00", "rules.txt"},
        {"--verbose", "rules.txt"},
    };
    for (const auto& args : cases) {
        EXPECT_TRUE(std::holds_alternative<UsageError>(parseArguments(args)))
            << (args.empty() ? "(none)" : args.front());
    }
}

TEST(Timestamp, AcceptsOnlyRealMomentsInTheExactForm) {
    const std::pair<const char*, bool> cases[] = {
        {"2018-05-03 09:05:07", true},  {"2023-02-29 00:00:00", false},
        {"2000-02-29 00:00:00", true},  {"1900-02-29 00:00:00", false},
        {"2024-12-31 23:59:59", true},  {"2024-13-01 00:00:00", false},
        {"2024-01-01 24:00:00", false}, {"2024-01-01 00:60:00", false},
        {"2024-1-01 00:00:00", false},  {"2024-01-01T00:00:00", false},
        {"2024-01-01 00:00:00 ", false}, {"", false},
    };
    for (const auto& [text, valid] : cases) {
        EXPECT_EQ(parseTimestamp(text).has_value(), valid) << text;
    }
}

}  // namespace
}  // namespace rulecheck
