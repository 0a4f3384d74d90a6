// fillrun as a real process: the bytes it writes to standard output and its exit
// code, for every message it can give.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rulecore/platform/os.h"
#include "tests/fillrun/run_directory.h"
#include "tests/support/cp936.h"

namespace {

using fillrun::test::console;
using fillrun::test::ProcessResult;
using fillrun::test::RunDirectory;
using rulecore::Text;
using rulecore::TextList;
using rulecore::test::cp;

struct ConsoleCase {
    const char* name;
    TextList arguments;
    std::string expected;
};

void expectOutput(const RunDirectory& dir, const ConsoleCase& c) {
    ProcessResult result = dir.run(c.arguments);
    EXPECT_TRUE(result.finished) << c.name;
    EXPECT_EQ(result.exitCode, 0) << c.name;
    EXPECT_EQ(rulecore::test::utf8(result.output), rulecore::test::utf8(c.expected)) << c.name;
    EXPECT_EQ(result.output, c.expected) << c.name;
}

std::string echo(const Text& rules, const Text& templ) {
    return console(u8"载入逻辑文件：") + rulecore::os::toConsole(rules) + "\r\n" +
           console(u8"载入word文档：") + rulecore::os::toConsole(templ) + "\r\n";
}

std::string echo(const Text& rules, const Text& templ, const Text& output) {
    return echo(rules, templ) + console(u8"输出word文档：") + rulecore::os::toConsole(output) +
           "\r\n";
}

std::string missing(const Text& name) {
    return rulecore::os::toConsole(name) + console(u8" 文件不存在！") + "\r\n";
}

// Paths that end before Word would be started.
TEST(FillRunConsole, EndsEarlyWithTheRightMessage) {
    RunDirectory dir;
    dir.write("self.txt", cp(u8"##A##==x&[##A##]y\r\n"));
    dir.write("r.txt", "K==V\r\n");
    dir.makeDirectory("folder.txt");
    const Text absoluteRules = dir.join("r.txt");
    const std::string argumentError = console(u8"参数传递异常");

    const std::vector<ConsoleCase> cases = {
        {"no arguments", {}, ""},
        {"unknown switch", {"-C", "r.txt", "t.doc"}, ""},
        {"slash form", {"/A", "r.txt", "t.doc", "o.doc"}, ""},
        {"longer word", {"-AB", "r.txt", "t.doc", "o.doc"}, ""},
        {"leading space inside quotes", {" -A", "r.txt", "t.doc", "o.doc"}, ""},
        {"full-width letter", {cp(u8"-Ａ"), "r.txt", "t.doc", "o.doc"}, ""},
        {"-A with two names", {"-A", "r.txt", "t.doc"}, argumentError},
        {"-B with four names", {"-B", "r.txt", "t.doc", "o.doc", "x"}, argumentError},
        {"-P with three names", {"-P", "r.txt", "t.doc", "o.doc"}, argumentError},
        {"lower-case switch alone", {"-p"}, argumentError},
        {"missing rules file, -A", {"-A", "none.txt", "t.doc", "o.doc"},
         echo("none.txt", "t.doc", "o.doc") + missing("none.txt")},
        {"lower-case -a behaves as -A", {"-a", "none.txt", "t.doc", "o.doc"},
         echo("none.txt", "t.doc", "o.doc") + missing("none.txt")},
        {"missing rules file, -P", {"-P", "none.txt", "t.doc"},
         echo("none.txt", "t.doc") + missing("none.txt")},
        {"empty quotes for the rules file", {"-P", "", "t.doc"}, echo("", "t.doc") + missing("")},
        {"absolute rules path is still joined", {"-B", absoluteRules, "t.doc", "o.doc"},
         echo(absoluteRules, "t.doc", "o.doc") + missing(absoluteRules)},
        {"rules file that is a directory", {"-P", "folder.txt", "t.doc"},
         echo("folder.txt", "t.doc") + missing("folder.txt")},
        {"self-reference ends before saving", {"-B", "self.txt", "t.doc", "o.doc"},
         echo("self.txt", "t.doc", "o.doc") +
             console(u8"常量 ##A## &[##A##]错误的引用自己！") + "\r\n"},
    };
    for (const ConsoleCase& c : cases) expectOutput(dir, c);
    EXPECT_FALSE(dir.exists("o.doc"));
}

// Whole runs: each waits its fixed five seconds. No template exists, so whatever
// engine stands behind Word changes nothing, and the run still finishes.
TEST(FillRunConsole, WholeRunsReportPrintingAndTheEnd) {
    RunDirectory dir;
    dir.write("r.txt", cp(u8"##甲##==乙\r\nlast[a+b]\r\n"));
    const std::string printing = console(u8"正在准备打印...") + "\r\n";
    const std::string finished = console(u8"处理结束！") + "\r\n";

    const std::vector<ConsoleCase> cases = {
        {"-A saves and prints", {"-A", "r.txt", "none.doc", "o.doc"},
         echo("r.txt", "none.doc", "o.doc") + printing + finished},
        {"-b saves only", {"-b", "r.txt", "none.doc", "o.doc"},
         echo("r.txt", "none.doc", "o.doc") + finished},
        {"-P prints only", {"-P", "r.txt", "none.doc"}, echo("r.txt", "none.doc") + printing + finished},
    };
    for (const ConsoleCase& c : cases) expectOutput(dir, c);
}

}  // namespace
