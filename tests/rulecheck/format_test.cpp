#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "rulecheck/format.h"
#include "tests/support/cp936.h"

namespace rulecheck {
namespace {

using rulecore::Variant;
using rulecore::test::cp;
using rulecore::test::utf8;

std::string str(std::u8string_view text) { return std::string(text.begin(), text.end()); }

TEST(EscapeControls, ShowsControlBytesAndKeepsDoubleByteCharacters) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\r\nb\tc\\d", "a\\r\\nb\\tc\\\\d"},
        {std::string("\x01\x7F", 2), "\\x01\\x7F"},
        {std::string("\0", 1), "\\x00"},
        // 0x5C as the trail byte of a character is no backslash.
        {"\x81\x5C", "\x81\x5C"},
        // A lone lead byte at the very end, and one before a byte that cannot trail it.
        {"a\x81", "a\\x81"},
        {"\xBC\r\n", "\\xBC\\r\\n"},
    };
    for (const auto& [text, escaped] : cases) EXPECT_EQ(escapeControls(text), escaped) << text;
}

TEST(HumanResult, OneLinePerKeyThenReports) {
    KeyResult value{cp(u8"键"), "a\r\nb", false, {}, {}, true, false};
    EXPECT_EQ(utf8(humanResult(value, Variant::FillRun)), str(u8"键 => a\\r\\nb\n"));

    KeyResult empty{"K", "", false, {}, {}, true, false};
    EXPECT_EQ(humanResult(empty, Variant::FillPrint), "K => (empty)\n");

    KeyResult missing{"K", "", false, {}, {cp(u8"没有找到关键字: K")}, false, false};
    EXPECT_EQ(utf8(humanResult(missing, Variant::FillRun)),
              str(u8"K: not found\n  report: 没有找到关键字: K\n"));

    KeyResult ends{"K", "", false, {}, {"self"}, true, true};
    EXPECT_EQ(humanResult(ends, Variant::FillRun),
              "K\n  report: self\n  the program would end here\n");
}

TEST(HumanResult, PickpasteListsItems) {
    const std::pair<KeyResult, std::string> cases[] = {
        {{"K", "", true, {"a"}, {}, true, false}, "K => a\n"},
        {{"K", "", true, {"a", "", "b"}, {}, true, false}, "K => [1] a [2] (empty) [3] b\n"},
        {{"K", "", true, {}, {}, true, false}, "K => (empty list)\n"},
        {{"K", "", false, {}, {}, false, false}, "K: not found, nothing shown\n"},
    };
    for (const auto& [result, line] : cases) {
        EXPECT_EQ(humanResult(result, Variant::PickPaste), line);
    }
}

TEST(JsonResult, KeepsTheMembersInOrderAndConvertsToUtf8) {
    KeyResult run{cp(u8"键"), "\"x\"\r\n", false, {}, {cp(u8"异常！无法取出常量值 N")}, true,
                  false};
    EXPECT_EQ(jsonResult(run, Variant::FillRun),
              str(u8"{\"key\": \"键\", \"value\": \"\\\"x\\\"\\r\\n\", \"reports\": "
              u8"[\"异常！无法取出常量值 N\"], \"ends\": false}\n"));

    KeyResult pick{"K", "", true, {"a", cp(u8"【b】")}, {}, true, true};
    EXPECT_EQ(jsonResult(pick, Variant::PickPaste),
              str(u8"{\"key\": \"K\", \"shown\": true, \"items\": [\"a\", \"【b】\"], "
              u8"\"reports\": [], \"ends\": true}\n"));

    EXPECT_EQ(jsonLate("t", cp(u8"文")),
              str(u8"{\"late\": {\"target\": \"t\", \"text\": \"文\"}}\n"));
}

TEST(JsonResult, InvalidCodePageBytesStillGiveValidJson) {
    KeyResult odd{std::string("\xFF\x81", 2), std::string("\x80", 1), false, {}, {}, true, false};
    std::string line = jsonResult(odd, Variant::FillRun);
    EXPECT_TRUE(nlohmann::json::accept(line)) << line;
    EXPECT_EQ(line.back(), '\n');
}

}  // namespace
}  // namespace rulecheck
