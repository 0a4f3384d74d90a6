#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rulecheck/lint.h"
#include "tests/support/cp936.h"

namespace rulecheck {
namespace {

using rulecore::Variant;
using rulecore::test::cp;
using rulecore::test::utf8;

// "line: message" in UTF-8, for readable comparisons.
std::vector<std::string> lints(std::u8string_view text, Variant variant = Variant::FillRun) {
    std::vector<std::string> out;
    for (const Lint& lint : lintRules(cp(text), variant)) {
        out.push_back(std::to_string(lint.line) + ": " + utf8(lint.message));
    }
    return out;
}

struct Case {
    const char8_t* text;
    Variant variant;
    std::vector<std::string> expected;  // "line: start of the message"
};

void expectLints(const Case& c) {
    std::vector<std::string> got = lints(c.text, c.variant);
    ASSERT_EQ(got.size(), c.expected.size()) << utf8(cp(c.text)) << "\n"
                                             << ::testing::PrintToString(got);
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].compare(0, c.expected[i].size(), c.expected[i]), 0)
            << got[i] << "\nexpected to start with\n"
            << c.expected[i];
    }
}

TEST(Lint, CleanRulesGiveNoWarnings) {
    expectLints({u8"'注释\r\n\r\n##甲##==一&[##乙##]#[一+二]\r\n##乙##==二\r\nlast[a+b]\r\n",
                 Variant::FillRun, {}});
    expectLints({u8"K==v\r\n", Variant::PickPaste, {}});
}

TEST(Lint, LinesThatDefineNothing) {
    const Case cases[] = {
        {u8"A==1\nB==2\n", Variant::FillRun,
         {"1: 2 line break(s) here are LF only", "1: does not split at \"==\""}},
        {u8"A==1\r\n 'kein Kommentar\r\nK==\r\nK==V==W\r\n", Variant::FillRun,
         {"2: neither a comment", "3: does not split at \"==\"", "4: does not split at \"==\""}},
        // A removed late group leaves its line empty or a definition.
        {u8"last[a+b]\r\nlast[c+d]==V\r\n", Variant::FillRun, {}},
        // pickpaste reads no late groups: the line is ordinary text.
        {u8"last[a+b]\r\n", Variant::PickPaste, {"1: neither a comment"}},
    };
    for (const Case& c : cases) expectLints(c);
}

TEST(Lint, KeysThatAreNeverUsed) {
    const Case cases[] = {
        {u8"K==1\r\nX==2\r\nK==3\r\n", Variant::PickPaste,
         {"3: key \"K\" is defined again (first on line 1)"}},
        {u8"##甲##==1\r\n##甲##乙==2\r\n", Variant::FillRun,
         {"2: key \"##甲##乙\" contains the earlier key \"##甲##\" (line 1)"}},
        // The later key inside an earlier one is fine: the longer key goes first.
        {u8"##甲##乙==2\r\n##甲##==1\r\n", Variant::FillRun, {}},
        // Only keys of a document run matter; pickpaste compares whole selections.
        {u8"AB==1\r\nXABY==2\r\n", Variant::PickPaste, {}},
    };
    for (const Case& c : cases) expectLints(c);
    // A match must start at a character: the trail byte of 81 41 is no "A".
    EXPECT_TRUE(lintRules("A==1\r\n\x81\x41==2\r\n", Variant::FillRun).empty());
}

TEST(Lint, ReferencesAndReplacements) {
    const Case cases[] = {
        {u8"A==&[B]&[ A ]\r\n", Variant::FillRun,
         {"1: reference \"&[B]\" names no constant",
          "1: reference \"&[ A ]\" has spaces inside its brackets"}},
        {u8"A==&[B]\r\nB==x\r\n", Variant::FillRun, {}},
        {u8"A==#[abc]#[a+b+c]#[ a+b ]#[a+]\r\n", Variant::FillRun,
         {"1: replacement \"#[abc]\" does not split", "1: replacement \"#[a+b+c]\" does not split",
          "1: replacement \"#[ a+b ]\" stays in the text because of the spaces"}},
        // pickpaste splits the inner text: #[a+] and #[+] stay, #[+b] goes.
        {u8"A==#[a+]#[+]#[+b]\r\n", Variant::PickPaste,
         {"1: replacement \"#[a+]\" does not split", "1: replacement \"#[+]\" does not split"}},
    };
    for (const Case& c : cases) expectLints(c);
}

TEST(Lint, LateGroupsThatStayInTheText) {
    const Case cases[] = {
        {u8"K==1\r\nLast[a+b]\r\nlast[ c+d ]\r\nlast[e+f+g]\r\n", Variant::FillPrint,
         {"2: late group \"Last[a+b]\" is read, but stays in the text: only \"last[\"",
          "2: neither a comment", "3: late group \"last[ c+d ]\" is read, but stays",
          "3: neither a comment", "4: late group \"last[e+f+g]\" does not have exactly one",
          "4: neither a comment"}},
        {u8"A==x last[a+\r\nb] y\r\n", Variant::FillRun,
         {"1: late group \"last[a+\\r\\nb]\" runs over a line break", "2: neither a comment"}},
    };
    for (const Case& c : cases) expectLints(c);
}

TEST(Lint, FileThatLooksLikeUtf8) {
    // The bytes of a UTF-8 file, not converted to code page 936.
    std::string utf8File = "K==1\r\nL==\xE4\xB8\xAD\xE6\x96\x87\r\n";
    auto found = lintRules(utf8File, Variant::FillRun);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].line, 2u);
    EXPECT_NE(found[0].message.find("UTF-8"), std::string::npos);
    // The same characters in code page 936, and a pair that reads as both.
    EXPECT_TRUE(lintRules(cp(u8"K==中文\r\n"), Variant::FillRun).empty());
    EXPECT_TRUE(lintRules("K==\xC3\xA9\r\n", Variant::FillRun).empty());
}

}  // namespace
}  // namespace rulecheck
