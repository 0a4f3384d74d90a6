#include <gtest/gtest.h>

#include "rulecore/rules/text.h"
#include "rulecore/texts/system_texts.h"
#include "tests/support/cp936.h"

namespace rulecore {
namespace {

using test::cp;

TEST(SplitText, CutsAtCharacterBoundariesOnly) {
    struct Case {
        std::string text;
        TextList pieces;
    };
    const Case cases[] = {
        {"", {}},
        {"K==V", {"K", "V"}},
        {"K==", {"K"}},
        {"==V", {"", "V"}},
        {"K==V==", {"K", "V"}},
        {"K===V", {"K", "=V"}},
        {"K====V", {"K", "", "V"}},
        {"K==V==W", {"K", "V", "W"}},
    };
    for (const Case& c : cases) EXPECT_EQ(splitText(c.text, "=="), c.pieces) << c.text;
}

TEST(SystemTexts, AreCodePage936Bytes) {
    EXPECT_EQ(Text(texts::argumentError), cp(u8"参数传递异常"));
    EXPECT_EQ(texts::argumentError.size(), 12u);
}

}  // namespace
}  // namespace rulecore
