// WordSession over the COM binding, against the fake Word registered as
// "WORD.Application" in this test run's Wine prefix.
#include <gtest/gtest.h>

#include <string>

#include "rulecore/platform/os.h"
#include "rulecore/rules/text.h"
#include "rulecore/word/com/com_dispatcher_win.h"
#include "rulecore/word/platform_dispatcher.h"
#include "rulecore/word/word_session.h"
#include "tests/support/cp936.h"

namespace rulecore::word {
namespace {

using test::cp;

// A fresh folder per test, with the fake's print log and journal inside it.
class FakeWordTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = Text(temp) + "fakeword-" + std::to_string(GetCurrentProcessId()) + "-" + info->name();
        CreateDirectoryA(folder.c_str(), nullptr);
        printLog = os::joinPath(folder, "print.txt");
        journal = os::joinPath(folder, "journal.txt");
        releaseLog = os::joinPath(folder, "released.txt");
        for (const Text& log : {printLog, journal, releaseLog}) DeleteFileA(log.c_str());
        SetEnvironmentVariableA("FAKEWORD_PRINTLOG", printLog.c_str());
        SetEnvironmentVariableA("FAKEWORD_JOURNAL", journal.c_str());
        SetEnvironmentVariableA("FAKEWORD_RELEASELOG", releaseLog.c_str());
    }
    void TearDown() override {
        SetEnvironmentVariableA("FAKEWORD_PRINTLOG", nullptr);
        SetEnvironmentVariableA("FAKEWORD_JOURNAL", nullptr);
        SetEnvironmentVariableA("FAKEWORD_BUSY_CALLS", nullptr);
        SetEnvironmentVariableA("FAKEWORD_RELEASELOG", nullptr);
    }

    Text file(const char* name) const { return os::joinPath(folder, name); }

    Text folder;
    Text printLog;
    Text journal;
    Text releaseLog;
};

// n characters of code page 936, each one double-byte.
Text repeated(std::u8string_view character, int n) {
    Text text;
    for (int i = 0; i < n; ++i) text += cp(character);
    return text;
}

TEST_F(FakeWordTest, ADocumentRunFillsSavesPrintsAndQuits) {
    const Text templateText = cp(u8"甲方：【甲方】，乙方：【乙方】。\r\n条款：【条款】\r\n附注：【条款】【附注】\r\n");
    const Text templatePath = file("template.doc");
    const Text outputPath = file("filled.doc");
    ASSERT_TRUE(os::writeTextFile(templatePath, templateText));

    // The longest value Word takes on the Replacement object, one over it, and a
    // long value that contains its own key: it must not be searched again.
    const Text party = repeated(u8"甲", 255);
    const Text clause = repeated(u8"款", 256);
    const Text note = repeated(u8"注", 300) + cp(u8"【附注】");
    struct Pair {
        Text key;
        Text value;
        std::int32_t found;
    };
    const Pair pairs[] = {
        {cp(u8"【甲方】"), party, 1},
        {cp(u8"【乙方】"), cp(u8"北京某某有限公司"), 1},
        {cp(u8"【条款】"), clause, 1},
        {cp(u8"【附注】"), note, 1},
        {cp(u8"【没有】"), cp(u8"无"), 0},
        {cp(u8"【没有】"), note, 0},
    };
    Text expected = templateText;
    for (const Pair& p : pairs) expected = replaceAll(expected, p.key, p.value);

    std::unique_ptr<AutomationDispatcher> dispatcher = makePlatformDispatcher();
    {
        WordSession session(*dispatcher);
        session.startWord();
        ASSERT_FALSE(session.application().empty());
        AutomationObject document = session.openDocument(templatePath);
        ASSERT_FALSE(document.empty());
        document.release();
        for (const Pair& p : pairs) {
            SCOPED_TRACE(test::utf8(p.key));
            EXPECT_EQ(session.replaceText(p.key, p.value, 0, false), p.found);
        }
        EXPECT_TRUE(session.saveAs(outputPath));
        session.printOut();
        session.quitWord();
        EXPECT_TRUE(lastCallSucceeded());
        // Word has gone: asking again fails quietly.
        session.quitWord();
        EXPECT_FALSE(lastCallSucceeded());
        EXPECT_FALSE(session.isVisible());
        EXPECT_FALSE(os::fileExists(releaseLog));
    }
    // Every object of Word's that the session reached was let go, once, at its end.
    EXPECT_EQ(os::readTextFile(releaseLog), "All released\r\n");
    EXPECT_EQ(test::utf8(os::readTextFile(outputPath)), test::utf8(expected));
    EXPECT_EQ(test::utf8(os::readTextFile(printLog)), test::utf8(expected + "\f"));
    EXPECT_EQ(test::utf8(os::readTextFile(journal)),
              test::utf8("Open " + templatePath + "\r\nSaveAs " + outputPath + "\r\nPrintOut\r\nQuit\r\n"));
}

TEST_F(FakeWordTest, OneAtATimeReplacesOnePerPassForShortAndLongValues) {
    const Text key = cp(u8"【键】");
    for (const Text& value : {cp(u8"值"), repeated(u8"值", 400)}) {
        SCOPED_TRACE(value.size());
        const Text templatePath = file("once.doc");
        const Text templateText = key + "," + key + "," + key;
        ASSERT_TRUE(os::writeTextFile(templatePath, templateText));
        std::unique_ptr<AutomationDispatcher> dispatcher = makePlatformDispatcher();
        WordSession session(*dispatcher);
        session.startWord();
        session.openDocument(templatePath).release();
        EXPECT_EQ(session.replaceText(key, value, 2, true), 2);
        EXPECT_TRUE(session.saveAs(file("once-out.doc")));
        EXPECT_EQ(test::utf8(os::readTextFile(file("once-out.doc"))), test::utf8(value + "," + value + "," + key));
        EXPECT_EQ(session.replaceText(key, value, 3, true), 1);
        EXPECT_EQ(session.replaceText(key, value, 0, true), 0);
        session.quitWord();
    }
}

TEST_F(FakeWordTest, ABusyWordStillGetsEveryKeyFilled) {
    const Text key = cp(u8"【甲方】");
    const Text templatePath = file("busy.doc");
    ASSERT_TRUE(os::writeTextFile(templatePath, key + cp(u8"，") + key));
    // Every call of the run is turned away once before Word takes it.
    SetEnvironmentVariableA("FAKEWORD_BUSY_CALLS", "1000");
    {
        std::unique_ptr<AutomationDispatcher> dispatcher = makePlatformDispatcher();
        WordSession session(*dispatcher);
        session.startWord();
        session.openDocument(templatePath).release();
        EXPECT_EQ(session.replaceText(key, cp(u8"北京"), 0, false), 1);
        EXPECT_TRUE(session.saveAs(file("busy-out.doc")));
        EXPECT_EQ(test::utf8(os::readTextFile(file("busy-out.doc"))), "北京，北京");
        session.quitWord();
    }
}

TEST_F(FakeWordTest, WithoutAnOpenDocumentEveryStepFailsQuietly) {
    std::unique_ptr<AutomationDispatcher> dispatcher = makePlatformDispatcher();
    WordSession session(*dispatcher);
    session.startWord();
    ASSERT_FALSE(session.application().empty());
    EXPECT_TRUE(session.openDocument(file("missing.doc")).empty());
    EXPECT_EQ(session.replaceText(cp(u8"【甲方】"), cp(u8"乙"), 0, false), 0);
    EXPECT_EQ(session.replaceText(cp(u8"【甲方】"), repeated(u8"乙", 300), 0, false), 0);
    EXPECT_FALSE(session.saveAs(file("never.doc")));
    EXPECT_FALSE(os::fileExists(file("never.doc")));
    session.printOut();
    EXPECT_FALSE(lastCallSucceeded());
    EXPECT_FALSE(os::fileExists(printLog));
    session.setVisible(true);
    EXPECT_TRUE(session.isVisible());
    session.quitWord();
}

}  // namespace
}  // namespace rulecore::word
