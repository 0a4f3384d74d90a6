#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "rulecore/rules/expander.h"
#include "rulecore/rules/parse.h"
#include "tests/rules/rules_fixtures.h"

namespace rulecore {
namespace {

using namespace std::literals;
using test::Pairs;
using test::pairsOf;

// prefix + i + suffix, put together without temporary concatenations.
Text numbered(std::string_view prefix, int i, std::string_view suffix = {}) {
    return Text(prefix).append(std::to_string(i)).append(suffix);
}

// Expands every key of the table in table order, as a document run does, and
// collects the values; a report that ends the program stops the run.
TextList expandAll(Variant variant, const RulesTable& table, test::RecordingReporter& reporter) {
    test::FakeClock clock;
    ConstantExpander expander(variant, table, clock, reporter);
    TextList values;
    try {
        for (const Text& key : table.keys()) {
            if (variant == Variant::PickPaste) {
                SelectionResult result = expander.expandSelection(key);
                values.push_back(result.items.empty() ? Text() : result.items.front());
            } else {
                values.push_back(expander.expandConstant(key));
            }
        }
    } catch (const ProgramEnd&) {
        values.push_back("<end>");
    }
    return values;
}

TEST(Robustness, OddBytesStayBytes) {
    struct Case {
        const char* name;
        std::string_view rules;
        Pairs table;
        Text firstValue;
    };
    const Case cases[] = {
        {"NUL bytes inside keys and values",
         "A\0==x\0&[B]\r\nB==\0y"sv,
         {{"A\0"s, "x\0&[B]"s}, {"B", "\0y"s}},
         "x\0\0y"s},
        {"a lone lead byte at the end", "K==v\x81"sv, {{"K", "v\x81"}}, "v\x81"},
        {"a lead byte swallows the CR of a line break", "K==v\x81\r\nJ==w"sv, {}, ""},
        {"a lead byte before the close bracket",
         "K==&[R\x81]x\r\nR==r"sv,
         {{"K", "&[R\x81]x"}, {"R", "r"}},
         "&[R\x81]x"},
        {"invalid double-byte pairs",
         "\xFF\xFE==\x80]&[\xFF\xFF]"sv,
         {{"\xFF\xFE", "\x80]&[\xFF\xFF]"}},
         "\x80]"},
    };
    for (const Case& c : cases) {
        RulesTable table;
        parseDefinitions(c.rules, table);
        ASSERT_EQ(pairsOf(table), c.table) << c.name;
        for (Variant variant : {Variant::FillRun, Variant::FillPrint, Variant::PickPaste}) {
            test::RecordingReporter reporter;
            TextList values = expandAll(variant, table, reporter);
            if (!c.table.empty()) {
                EXPECT_EQ(values.front(), c.firstValue)
                    << c.name << " " << static_cast<int>(variant);
            }
        }
    }
}

TEST(Robustness, MegabyteValues) {
    Text value;
    Text expected;
    while (value.size() < (1u << 20)) {
        value += "abc&[R]";
        expected += "abcxyz";
    }
    RulesTable table;
    table.append("K", value);
    table.append("R", "x&[S]");
    table.append("S", "yz");
    test::RecordingReporter reporter;
    // The same reference, listed 150,000 times, costs a few scans, not one each.
    TextList values = expandAll(Variant::FillRun, table, reporter);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0], expected);
    EXPECT_TRUE(reporter.reports.empty());
    Text plain(1u << 20, 'p');
    table.append("P", plain);
    EXPECT_EQ(expandAll(Variant::PickPaste, table, reporter).back(), plain);
}

TEST(Robustness, ManyDifferentReferencesInOneValue) {
    // 100,000 different references to plain values go in one walk per pass.
    RulesTable distinct;
    Text many;
    Text manyExpected;
    for (int i = 0; i < 100000; ++i) {
        many.append(numbered("&[n", i, "]"));
        manyExpected.append(numbered("v", i));
        distinct.append(numbered("n", i), numbered("v", i));
    }
    distinct.append("M", many);
    distinct.append("A", Text(many).append("&[act]"));
    distinct.append("act", "&[n0]");
    test::FakeClock clock;
    test::RecordingReporter reporter;
    ConstantExpander expander(Variant::PickPaste, distinct, clock, reporter);
    EXPECT_EQ(expander.expandSelection("M").items, TextList{manyExpected});
    EXPECT_TRUE(reporter.reports.empty());
    // With a raw value that holds a reference, the pass goes item by item and
    // stops at the scan bound instead of taking minutes.
    EXPECT_FALSE(expander.expandSelection("A").show);
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(reporter.reports[0].kind, ReportKind::Unexpandable);
}

TEST(Robustness, HundredThousandDefinitionsUseTheFirstOfEachKey) {
    RulesTable table;
    for (int i = 0; i < 100; ++i) table.append(numbered("d", i), std::to_string(i));
    for (int i = 0; i < 100000; ++i) {
        table.append(numbered("k", i), numbered("x&[d", i % 100, "]#[x+y]"));
    }
    for (int i = 0; i < 100000; i += 7) table.append(numbered("k", i), "later");
    test::RecordingReporter reporter;
    TextList values = expandAll(Variant::FillRun, table, reporter);
    ASSERT_EQ(values.size(), table.size());
    for (std::size_t row = 100; row < table.size(); ++row) {
        int i = std::stoi(table.keys()[row].substr(1));
        ASSERT_EQ(values[row], numbered("y", i % 100)) << table.keys()[row];
    }
    EXPECT_TRUE(reporter.reports.empty());
}

TEST(Robustness, ReferencesNestedTenThousandDeep) {
    RulesTable table;
    Text nested;
    for (int i = 0; i < 10000; ++i) nested += "&[";
    nested += "x";
    nested += Text(10000, ']');
    table.append("K", nested);
    for (int i = 0; i < 10000; ++i) {
        table.append(numbered("c", i), numbered("&[c", i + 1, "]"));
    }
    test::RecordingReporter reporter;
    test::FakeClock clock;
    ConstantExpander expander(Variant::PickPaste, table, clock, reporter);
    // The outer brackets pair with the first close bracket; the name has no
    // definition, so only the other close brackets stay.
    EXPECT_EQ(expander.expandSelection("K").items, TextList{Text(9999, ']')});
    // A chain ten thousand links long stops at the pass bound.
    SelectionResult chain = expander.expandSelection("c0");
    EXPECT_FALSE(chain.show);
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(reporter.reports[0].kind, ReportKind::Unexpandable);
}

TEST(Robustness, ArbitraryBytesNeitherCrashNorHang) {
    // Pieces of the rules language mixed with bytes that are no valid GBK.
    const std::string_view pieces[] = {
        "&[",   "#[",    "]",    "+",        "==",   "\r\n",      "\r",
        "\n",   "last[", "&&",   "'",        " ",    "a",         "b",
        "\x80", "\xFF",  "\x81", "\xA1\xA1", "\0"sv, "#\xBF\xD5", "##\xC8\xD5\xC6\xDA##"};
    std::uint32_t seed = 2024;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int round = 0; round < 3000; ++round) {
        Text text;
        for (std::uint32_t n = next() % 40; n > 0; --n) text += pieces[next() % std::size(pieces)];
        RulesState state;
        parseRules(text, state);
        for (Variant variant : {Variant::FillRun, Variant::FillPrint, Variant::PickPaste}) {
            test::RecordingReporter reporter;
            expandAll(variant, state.table, reporter);
        }
    }
}

}  // namespace
}  // namespace rulecore
