#include "fillrun/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/cp936.h"

namespace {

using fillrun::splitCommandLine;
using rulecore::TextList;
using rulecore::test::cp;

struct SplitCase {
    const char* name;
    std::string line;
    TextList expected;
};

std::vector<SplitCase> splitCases() {
    using namespace std::string_literals;
    return {
        {"program name only", "fillrun.exe", {}},
        {"program name and a trailing space", "fillrun.exe ", {}},
        {"empty line", "", {}},
        {"plain arguments", "fillrun.exe -A r.txt t.doc o.doc", {"-A", "r.txt", "t.doc", "o.doc"}},
        {"quoted program name with a space", "\"C:\\my dir\\fillrun.exe\" -P r.txt t.doc",
         {"-P", "r.txt", "t.doc"}},
        {"quoted program name glued to the switch", "\"C:\\a\\fillrun.exe\"-B x", {"-B", "x"}},
        {"unquoted name ends at its first space only", "C:\\a\\fillrun.exe\t-A x", {"x"}},
        {"runs of blanks, tabs and control bytes", "f   -A\t\tr\x01\x1ft  ", {"-A", "r", "t"}},
        {"quoted argument keeps its spaces", "f -B \"my rules.txt\" t", {"-B", "my rules.txt", "t"}},
        {"empty quotes are an empty argument", "f -P \"\" t.doc", {"-P", "", "t.doc"}},
        {"two empty quotes in a row", "f \"\"\"\"", {"", ""}},
        {"unclosed quote runs to the end", "f -A \"r t", {"-A", "r t"}},
        {"quote ends a plain argument", "f ab\"cd\"ef", {"ab", "cd", "ef"}},
        {"closing quote ends a quoted argument", "f \"ab\"cd", {"ab", "cd"}},
        {"lone quote at the end gives an empty argument", "f a \"", {"a", ""}},
        {"double-byte trail 0x22 does not close a quote", "f \"\x81\" x\" y", {"\x81\" x", "y"}},
        {"double-byte trail 0x22 does not end a plain argument", "f a\x81\"b c", {"a\x81\"b", "c"}},
        {"double-byte trail 0x20 does not end a plain argument", "f a\x81 b c", {"a\x81 b", "c"}},
        {"double-byte trail 0x09 does not end a plain argument", "f a\x81\tb", {"a\x81\tb"}},
        {"lead byte at the very end", "f a\x81", {"a\x81"}},
        {"double-byte trail 0x22 inside a quoted program name", "\"C:\\\x81\".exe\" -A", {"-A"}},
        {"double-byte trail 0x20 inside an unquoted program name", "C:\\\x81 x.exe -A", {"-A"}},
        {"Chinese names", "f -B " + cp(u8"规则 一.txt") + " \"" + cp(u8"模板 甲.doc") + "\"",
         {"-B", cp(u8"规则"), cp(u8"一.txt"), cp(u8"模板 甲.doc")}},
        {"no escape character", "f \"a\\\" b\"", {"a\\", "b", ""}},
    };
}

TEST(CommandLine, SplitsTheRawLineIntoArguments) {
    for (const SplitCase& c : splitCases()) {
        EXPECT_EQ(splitCommandLine(c.line), c.expected) << c.name;
    }
}

TEST(CommandLine, UpperCasesOnlySingleByteAsciiLetters) {
    EXPECT_EQ(fillrun::upperAscii("-a"), "-A");
    EXPECT_EQ(fillrun::upperAscii("-Pz1"), "-PZ1");
    // 0x81 0x61: the trail byte is a letter's code but belongs to the character.
    EXPECT_EQ(fillrun::upperAscii("\x81" "a" "b"), "\x81" "a" "B");
    EXPECT_EQ(fillrun::upperAscii(cp(u8"-啊")), cp(u8"-啊"));
}

}  // namespace
