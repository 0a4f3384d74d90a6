// fillrun given unkind input: each gives its usual outcome or a clear message,
// ends with exit code 0 and neither crashes nor hangs.
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

std::string line(std::u8string_view label, const Text& argument) {
    return console(label) + rulecore::os::toConsole(argument) + "\r\n";
}

std::string finished() { return console(u8"处理结束！") + "\r\n"; }

struct BadCase {
    const char* name;
    TextList arguments;
    std::string expected;
};

void expectOutcome(const RunDirectory& dir, const BadCase& c) {
    ProcessResult result = dir.run(c.arguments, 300);
    EXPECT_TRUE(result.finished) << c.name;
    EXPECT_EQ(result.exitCode, 0) << c.name;
    EXPECT_EQ(rulecore::test::utf8(result.output), rulecore::test::utf8(c.expected)) << c.name;
}

TEST(FillRunBadInput, LargeRulesFileRunsThrough) {
    RunDirectory dir;
    // 50 MB: a definition, half a million comment lines and a late group at the end.
    std::string rules = "K==V\r\n";
    const std::string comment = "'" + std::string(97, 'c') + "\r\n";
    rules.reserve(50u * 1024 * 1024 + 64);
    while (rules.size() < 50u * 1024 * 1024) rules += comment;
    rules += "last[a+b]";
    dir.write("big.txt", rules);
    expectOutcome(dir, {"50 MB rules file", {"-B", "big.txt", "t.doc", "o.doc"},
                        line(u8"载入逻辑文件：", "big.txt") + line(u8"载入word文档：", "t.doc") +
                            line(u8"输出word文档：", "o.doc") + finished()});
}

TEST(FillRunBadInput, AwkwardNamesAndLongArguments) {
    RunDirectory dir;
    const Text rules = cp(u8"规则 甲.txt");
    dir.write(rules, "K==V\r\n");
    const Text templ = cp(u8"模板 乙.doc");
    const Text output = cp(u8"输出 丙.doc");
    const Text inMissingFolder = cp(u8"没有的目录") + rulecore::os::pathSeparator() + "o.doc";
    const Text longAscii(10000, 'a');
    Text longChinese;
    for (int i = 0; i < 10000; ++i) longChinese += cp(u8"甲");

    const std::vector<BadCase> cases = {
        {"spaces and Chinese in every name", {"-B", rules, templ, output},
         line(u8"载入逻辑文件：", rules) + line(u8"载入word文档：", templ) +
             line(u8"输出word文档：", output) + finished()},
        {"output in a missing folder", {"-B", rules, "t.doc", inMissingFolder},
         line(u8"载入逻辑文件：", rules) + line(u8"载入word文档：", "t.doc") +
             line(u8"输出word文档：", inMissingFolder) + finished()},
        {"10,000-character rules name", {"-P", longAscii, "t.doc"},
         line(u8"载入逻辑文件：", longAscii) + line(u8"载入word文档：", "t.doc") +
             rulecore::os::toConsole(longAscii) + console(u8" 文件不存在！") + "\r\n"},
        {"10,000-character template name", {"-P", rules, longChinese},
         line(u8"载入逻辑文件：", rules) + line(u8"载入word文档：", longChinese) +
             console(u8"正在准备打印...") + "\r\n" + finished()},
    };
    for (const BadCase& c : cases) expectOutcome(dir, c);
    EXPECT_FALSE(dir.exists(inMissingFolder));
}

}  // namespace
