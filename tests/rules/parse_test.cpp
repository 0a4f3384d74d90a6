#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>

#include "rulecore/platform/os.h"
#include "rulecore/rules/extract.h"
#include "rulecore/rules/parse.h"
#include "rulecore/texts/system_texts.h"
#include "tests/rules/rules_fixtures.h"

namespace rulecore {
namespace {

using test::cp;
using test::Pairs;
using test::pairsOf;

TEST(ParseDefinitions, ReadsKeyValueLines) {
    struct Case {
        Text text;
        Pairs table;
    };
    const Case cases[] = {
        {"K==V", {{"K", "V"}}},
        {"K==", {}},
        {"==V", {{"", "V"}}},
        {"K==V==", {{"K", "V"}}},
        {"K===V", {{"K", "=V"}}},
        {"K====V", {}},
        {"K==V==W", {}},
        {"K == V", {{"K ", " V"}}},
        {"'K==V", {}},
        {" 'K==V", {{" 'K", "V"}}},
        {"A==1\r\n\r\njunk\r\nB==2\r\n", {{"A", "1"}, {"B", "2"}}},
        {"A==1\r\nA==2", {{"A", "1"}, {"A", "2"}}},
        // LF alone or CR alone is an ordinary byte: the text is one line.
        {"A==1\nB==2", {}},
        {"A==1\nB", {{"A", "1\nB"}}},
        {"'A==1\nB==2", {}},
        {"A==1\rB", {{"A", "1\rB"}}},
        // 0xBD 0x3D is one character, so no separator starts at its second byte.
        {"A\xBD==B", {}},
        {"A\xBD===B", {{"A\xBD=", "B"}}},
    };
    for (const Case& c : cases) {
        RulesTable table;
        parseDefinitions(c.text, table);
        EXPECT_EQ(pairsOf(table), c.table) << test::utf8(c.text);
    }
}

TEST(ParseDefinitions, AppendsAndIndexesTheFirstOfRepeatedKeys) {
    RulesTable table;
    parseDefinitions("A==1\r\nB==2", table);
    parseDefinitions("A==3", table);
    EXPECT_EQ(pairsOf(table), (Pairs{{"A", "1"}, {"B", "2"}, {"A", "3"}}));
    EXPECT_EQ(table.firstIndexOf("A"), 0u);
    EXPECT_EQ(table.firstIndexOf("B"), 1u);
    EXPECT_FALSE(table.firstIndexOf("a"));
}

TEST(ParseRules, TakesOutLateGroupsThenReadsDefinitions) {
    struct Case {
        const char* name;
        Text text;
        Pairs table;
        Pairs late;
    };
    const Case cases[] = {
        {"group alone", "last[a+b]", {}, {{"a", "b"}}},
        {"group in a comment is taken out too", "'x last[a+b]\r\nK==V", {{"K", "V"}}, {{"a", "b"}}},
        {"any letter case opens a group", "LaSt[a+b]\r\nK==V", {{"K", "V"}}, {{"a", "b"}}},
        {"capital L stays in the text", "Last[a+b]==V", {{"Last[a+b]", "V"}}, {{"a", "b"}}},
        {"spaces at the markers: the pair is read, the group stays",
         "K==last[ a+b ]",
         {{"K", "last[ a+b ]"}},
         {{"a", "b"}}},
        {"two plus signs: no pair, the group stays", "K==last[a+b+c]", {{"K", "last[a+b+c]"}}, {}},
        {"empty text", "last[a+]", {}, {{"a", ""}}},
        {"empty target", "last[+b]", {}, {{"", "b"}}},
        {"lone plus", "last[+]", {}, {{"", ""}}},
        {"empty group", "K==last[]last[ ]", {{"K", "last[]last[ ]"}}, {}},
        {"group inside a value", "K==x last[a+b] y", {{"K", "x  y"}}, {{"a", "b"}}},
        {"group before the separator", "last[a+b]==V", {{"", "V"}}, {{"a", "b"}}},
        {"the same group twice", "last[a+b]K==Vlast[a+b]", {{"K", "V"}}, {{"a", "b"}, {"a", "b"}}},
        {"group over a line break joins the lines",
         "K==1last[a+\r\nb]2\r\nJ==3",
         {{"K", "12"}, {"J", "3"}},
         {{"a", "\r\nb"}}},
        {"groups in text order", "last[2+y]K==Vlast[1+x]", {{"K", "V"}}, {{"2", "y"}, {"1", "x"}}},
        {"unclosed group is plain text", "K==last[a+b", {{"K", "last[a+b"}}, {}},
        {"a removal joins a new group that the repeat removes",
         "K==llast[a+b]ast[a+b]last[a+b]",
         {},
         {{"a", "b"}, {"a", "b"}}},
        {"nested groups", "K==last[x last[a+b]]", {{"K", "]"}}, {{"x last[a", "b"}}},
    };
    for (const Case& c : cases) {
        RulesState state;
        parseRules(c.text, state);
        EXPECT_EQ(pairsOf(state.table), c.table) << c.name;
        EXPECT_EQ(pairsOf(state.late), c.late) << c.name;
    }
}

// Removing each group in turn, the plain way, for comparison.
Text removeGroupByGroup(const Text& text) {
    Text rest = text;
    for (const Text& group : extractMarked(text, "last[", "]")) {
        if (splitText(group, "+").size() == 2) rest = replaceAll(rest, group, {});
    }
    return rest;
}

TEST(ParseRules, RemovesGroupsAsIfOneByOne) {
    // Texts made of the pieces where removals can interact: nesting, joins that
    // form a new group, capitals, double-byte characters, repeats.
    const char* pieces[] = {"last[", "LAST[", "l",  "la",   "st[",       "t",
                            "[",     "]",     "+",  "a",    "b",         " ",
                            "\xB0",  "\xB0]", "==", "\r\n", "last[a+b]", "K=="};
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int round = 0; round < 20000; ++round) {
        Text text;
        for (std::uint32_t n = next() % 14; n > 0; --n) text += pieces[next() % std::size(pieces)];
        RulesState state;
        parseRules(text, state);
        RulesTable expected;
        parseDefinitions(removeGroupByGroup(text), expected);
        ASSERT_EQ(pairsOf(state.table), pairsOf(expected)) << text;
    }
}

TEST(ParseRules, TakesThousandsOfGroupsFromOneLine) {
    Text text = "K==";
    for (int i = 0; i < 100000; ++i) text.append("last[").append(std::to_string(i)).append("+x]v");
    RulesState state;
    parseRules(text, state);
    ASSERT_EQ(state.late.size(), 100000u);
    EXPECT_EQ(state.late.targets.back(), "99999");
    EXPECT_EQ(pairsOf(state.table), (Pairs{{"K", Text(100000, 'v')}}));
}

TEST(ParseRules, ReplacesTheWholeState) {
    RulesState state;
    parseRules("A==1\r\nlast[x+y]", state);
    parseRules("B==2", state);
    EXPECT_EQ(pairsOf(state.table), (Pairs{{"B", "2"}}));
    EXPECT_EQ(state.late.size(), 0u);
    EXPECT_FALSE(state.table.firstIndexOf("A"));
}

TEST(DefaultConstantsContent, IsTheReferenceCard) {
    Text content = defaultConstantsContent();
    EXPECT_EQ(content.size(), 686u);
    TextList lines = splitText(content, "\r\n");
    EXPECT_FALSE(content.ends_with("\r\n"));
    // Two empty lines in the middle are pieces too.
    ASSERT_EQ(lines.size(), 19u);
    for (std::size_t i : {9u, 10u, 11u}) {
        EXPECT_EQ(lines[i].size(), 82u) << i + 1;
        EXPECT_EQ(lines[i].substr(58, 2), cp(u8"【")) << i + 1;
    }
    EXPECT_EQ(lines[12], "");
    EXPECT_EQ(lines[13], "");
    for (const Text& line : lines) EXPECT_TRUE(line.empty() || line.front() == '\'');

    Text prefix17 = cp(u8"'##测试B##==[“+'][”+']#[BCD+bcd]&[##测试A##]");
    Text prefix18 = cp(u8"'##测试C##==#[，+,]&[##测试B##]");
    ASSERT_TRUE(lines[16].starts_with(prefix17));
    ASSERT_TRUE(lines[17].starts_with(prefix18));
    EXPECT_EQ(lines[16].size() - prefix17.size(), 18u);
    EXPECT_TRUE(lines[16].ends_with(cp(u8"，")));
    EXPECT_EQ(lines[17].size() - prefix18.size(), 16u);
    EXPECT_EQ(lines[0], cp(u8"'首字为点'注释信息"));
    EXPECT_EQ(lines[18], cp(u8"'##测试D##==&[##测试C##]&HIJKLNM"));

    RulesTable table;
    parseDefinitions(content, table);
    EXPECT_TRUE(table.empty());
}

class LoadTest : public ::testing::Test {
protected:
    Text path(const Text& name) const { return os::joinPath(dir.text(), name); }
    void write(const Text& name, std::string_view bytes) const {
        ASSERT_TRUE(os::writeTextFile(path(name), bytes));
    }

    test::TempDirectory dir;
    test::RecordingReporter reporter;
    RulesState state;
};

TEST_F(LoadTest, MissingRulesFileEndsWithTheNameAsTyped) {
    parseRules("A==1\r\nlast[x+y]", state);
    EXPECT_THROW(loadRulesFile(dir.text(), "nothere.txt", state, reporter), ProgramEnd);
    EXPECT_EQ(reporter.reports,
              (std::vector<test::Report>{
                  {ReportKind::MissingRulesFile, "nothere.txt" + cp(u8" 文件不存在！"), true}}));
    EXPECT_TRUE(state.table.empty());
    EXPECT_EQ(state.late.size(), 0u);
}

TEST_F(LoadTest, RulesFileIsReadUpToItsFirstNul) {
    struct Case {
        std::string_view bytes;
        Pairs table;
        Pairs late;
    };
    using namespace std::string_view_literals;
    const Case cases[] = {
        {"A==1\r\nB==2\0\r\nC==3"sv, {{"A", "1"}, {"B", "2"}}, {}},
        {"\0A==1"sv, {}, {}},
        {""sv, {}, {}},
        {"K==x last[a+b]\r\n'c"sv, {{"K", "x "}}, {{"a", "b"}}},
    };
    for (const Case& c : cases) {
        write("rules.txt", c.bytes);
        loadRulesFile(dir.text(), "rules.txt", state, reporter);
        EXPECT_EQ(pairsOf(state.table), c.table);
        EXPECT_EQ(pairsOf(state.late), c.late);
    }
    EXPECT_TRUE(reporter.reports.empty());
}

TEST_F(LoadTest, ConstantsFileIsCreatedOnceThenRead) {
    Text file = path(Text(texts::constantsFileName));
    RulesTable table;
    table.append("old", "value");
    loadConstantsFile(dir.text(), table);
    EXPECT_TRUE(table.empty());
    ASSERT_TRUE(os::fileExists(file));
    EXPECT_EQ(os::readTextFile(file), defaultConstantsContent());

    loadConstantsFile(dir.text(), table);
    EXPECT_TRUE(table.empty());

    // Late groups are ordinary text in the constants file.
    write(Text(texts::constantsFileName), "K==last[a+b]\r\n'c==d\r\nE==F");
    loadConstantsFile(dir.text(), table);
    EXPECT_EQ(pairsOf(table), (Pairs{{"K", "last[a+b]"}, {"E", "F"}}));
}

TEST_F(LoadTest, ConstantsFileThatCannotBeCreatedIsSilent) {
    RulesTable table;
    loadConstantsFile(path("missing-folder"), table);
    EXPECT_TRUE(table.empty());
    EXPECT_FALSE(
        os::fileExists(os::joinPath(path("missing-folder"), Text(texts::constantsFileName))));
}

}  // namespace
}  // namespace rulecore
