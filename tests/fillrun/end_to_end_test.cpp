// fillrun.exe against the fake Word registered as "WORD.Application": what the
// filled document holds once saved, what was printed, and what Word was asked.
#include <windows.h>

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
using rulecore::test::utf8;

Text repeated(std::u8string_view piece, int times) {
    Text text;
    for (int i = 0; i < times; ++i) text += cp(piece);
    return text;
}

// 320 characters: Word's Find takes at most 255, so this goes through found ranges.
Text longValue() { return repeated(u8"甲乙丙丁", 80); }

Text rules() {
    return cp(u8"' 测试用的规则\r\n"
              u8"##姓名##==张三\r\n"
              u8"##地址##==北京市&[##区##]#[北京+京]\r\n"
              u8"##区##==海淀区\r\n"
              u8"##长##==") +
           longValue() +
           cp(u8"\r\n"
              u8"##日期##==不会用到\r\n"
              u8"last[张三+张三先生]last[结束+##区##结束]\r\n");
}

Text templateText() {
    return cp(u8"尊敬的##姓名##：\r\n您的地址是##地址##。\r\n日期：##日期##\r\n长文本：##长##\r\n结束");
}

// fillrun's key rule: any key asked for as ##日期## gives today's date.
Text today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return std::to_string(now.wYear) + cp(u8"年") + std::to_string(now.wMonth) + cp(u8"月") +
           std::to_string(now.wDay) + cp(u8"日");
}

// First key pass, then the late pairs, then the second key pass, which fills the
// key that the second late text brought in.
Text expectedFill() {
    return cp(u8"尊敬的张三先生：\r\n您的地址是京市海淀区。\r\n日期：") + today() +
           cp(u8"\r\n长文本：") + longValue() + cp(u8"\r\n海淀区结束");
}

class FillRunEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write(rulesName, rules());
        dir.write(templ, templateText());
        SetEnvironmentVariableA("FAKEWORD_JOURNAL", dir.join("journal.txt").c_str());
        SetEnvironmentVariableA("FAKEWORD_PRINTLOG", nullptr);
    }
    void TearDown() override { SetEnvironmentVariableA("FAKEWORD_JOURNAL", nullptr); }

    ProcessResult run(const TextList& arguments) {
        ProcessResult result = dir.run(arguments);
        EXPECT_TRUE(result.finished);
        EXPECT_EQ(result.exitCode, 0);
        return result;
    }
    std::vector<std::string> journal() const {
        std::vector<std::string> lines;
        for (const Text& line : rulecore::splitText(dir.read("journal.txt"), "\r\n")) {
            lines.push_back(utf8(line));
        }
        return lines;
    }
    std::string opened(const Text& name) const { return "Open " + utf8(dir.join(name)); }
    std::string saved(const Text& name) const { return "SaveAs " + utf8(dir.join(name)); }
    std::string echo(const Text& rulesFile, const Text& t) const {
        return console(u8"载入逻辑文件：") + rulesFile + "\r\n" + console(u8"载入word文档：") + t +
               "\r\n";
    }

    RunDirectory dir;
    const Text rulesName = cp(u8"规则 一.txt");
    const Text templ = cp(u8"模板 甲.doc");
    const Text output = cp(u8"输出 乙.doc");
    const std::string printing = console(u8"正在准备打印...") + "\r\n";
    const std::string finished = console(u8"处理结束！") + "\r\n";
};

TEST_F(FillRunEndToEnd, SaveAndPrint) {
    ProcessResult result = run({"-A", rulesName, templ, output});
    EXPECT_EQ(utf8(result.output),
              utf8(echo(rulesName, templ) + console(u8"输出word文档：") + output + "\r\n" + printing +
                   finished));
    EXPECT_EQ(utf8(dir.read(output)), utf8(expectedFill()));
    EXPECT_EQ(utf8(dir.read("printlog.txt")), utf8(expectedFill() + "\f"));
    EXPECT_EQ(journal(), (std::vector<std::string>{opened(templ), saved(output), "PrintOut", "Quit"}));
    EXPECT_EQ(dir.read(templ), templateText());
}

TEST_F(FillRunEndToEnd, SaveOnly) {
    ProcessResult result = run({"-b", rulesName, templ, output});
    EXPECT_EQ(utf8(result.output),
              utf8(echo(rulesName, templ) + console(u8"输出word文档：") + output + "\r\n" + finished));
    EXPECT_EQ(utf8(dir.read(output)), utf8(expectedFill()));
    EXPECT_FALSE(dir.exists("printlog.txt"));
    EXPECT_EQ(journal(), (std::vector<std::string>{opened(templ), saved(output), "Quit"}));
}

TEST_F(FillRunEndToEnd, PrintOnly) {
    ProcessResult result = run({"-P", rulesName, templ});
    EXPECT_EQ(utf8(result.output), utf8(echo(rulesName, templ) + printing + finished));
    EXPECT_EQ(utf8(dir.read("printlog.txt")), utf8(expectedFill() + "\f"));
    EXPECT_EQ(journal(), (std::vector<std::string>{opened(templ), "PrintOut", "Quit"}));
}

// A rules error ends the program mid-run: Word is still asked to quit, and
// nothing is saved or printed.
TEST_F(FillRunEndToEnd, SelfReferenceQuitsWord) {
    dir.write("self.txt", cp(u8"##姓名##==张三\r\n##地址##==&[##地址##]\r\n"));
    ProcessResult result = run({"-A", "self.txt", templ, output});
    EXPECT_EQ(utf8(result.output),
              utf8(echo("self.txt", templ) + console(u8"输出word文档：") + output + "\r\n" +
                   console(u8"常量 ##地址## &[##地址##]错误的引用自己！") + "\r\n"));
    EXPECT_FALSE(dir.exists(output));
    EXPECT_FALSE(dir.exists("printlog.txt"));
    EXPECT_EQ(journal(), (std::vector<std::string>{opened(templ), "Quit"}));
}

// Word fails quietly on an output in a missing folder; the run still ends as usual.
TEST_F(FillRunEndToEnd, OutputInAMissingFolder) {
    const Text missing = cp(u8"没有的目录\\输出.doc");
    ProcessResult result = run({"-B", rulesName, templ, missing});
    EXPECT_EQ(utf8(result.output),
              utf8(echo(rulesName, templ) + console(u8"输出word文档：") + missing + "\r\n" + finished));
    EXPECT_EQ(journal(), (std::vector<std::string>{opened(templ), "Quit"}));
}

// Word cannot open a missing template; every later step fails quietly and the
// run still ends with its closing line and a quit request.
TEST_F(FillRunEndToEnd, MissingTemplate) {
    ProcessResult result = run({"-A", rulesName, "none.doc", output});
    EXPECT_EQ(utf8(result.output),
              utf8(echo(rulesName, "none.doc") + console(u8"输出word文档：") + output + "\r\n" +
                   printing + finished));
    EXPECT_FALSE(dir.exists(output));
    EXPECT_EQ(journal(), (std::vector<std::string>{"Quit"}));
}

}  // namespace
