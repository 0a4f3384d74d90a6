#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "rulecore/rules/char_search.h"
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

TEST(SplitText, StepsOverDoubleByteCharacters) {
    // 0xB5 0x3D is one character, so its second byte starts no separator.
    EXPECT_EQ(splitText("a\xB5==b", "=="), (TextList{"a\xB5==b"}));
    EXPECT_EQ(splitText("a\xB5===b", "=="), (TextList{"a\xB5=", "b"}));
    EXPECT_EQ(splitText("a\r\nb\r\n", "\r\n"), (TextList{"a", "b"}));
    EXPECT_EQ(splitText("\r\n\r\n", "\r\n"), (TextList{"", ""}));
    EXPECT_EQ(splitText("a\nb", "\r\n"), (TextList{"a\nb"}));
    EXPECT_EQ(splitText("a\x81", "+"), (TextList{"a\x81"}));
}

TEST(ReplaceAll, ReplacesLeftToRightWithoutRescanning) {
    struct Case {
        Text text, from, to, result;
    };
    const Case cases[] = {
        {"aaa", "aa", "b", "ba"},            // never overlapping
        {"abab", "ab", "abab", "abababab"},  // inserted text is not searched again
        {"xaay", "a", "", "xy"},
        {"abc", "", "z", "abc"},  // an empty from replaces nothing
        {"", "a", "b", ""},
        {"\xB1\xA1\xA1\xA1", "\xA1\xA1", "_", "\xB1\xA1_"},  // only at character starts
        {"a\x81", "\x81", "b", "ab"},  // a lone lead byte at the end is a character
    };
    for (const Case& c : cases) EXPECT_EQ(replaceAll(c.text, c.from, c.to), c.result) << c.text;
}

TEST(TrimSpaces, DropsBothKindsOfSpaceAtBothEnds) {
    struct Case {
        Text text, result;
    };
    const Case cases[] = {
        {"  a b  ", "a b"},
        {cp(u8"\u3000 a\u3000"), "a"},
        {cp(u8" \u3000 \u3000"), ""},
        {"\ta\r\n", "\ta\r\n"},            // tabs and line breaks stay
        {"\xB1\xA1\xA1", "\xB1\xA1\xA1"},  // A1 A1 inside a pair is no space
        {"a \x81", "a \x81"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(trimSpaces(c.text), c.result) << c.text;
}

TEST(CharLength, PairsLeadBytesWithTheNextByte) {
    EXPECT_EQ(charLength("a", 0), 1u);
    EXPECT_EQ(charLength("\xB0\xA1", 0), 2u);
    EXPECT_EQ(charLength(std::string_view("\xB0\0x", 3), 0), 2u);  // a NUL trail byte too
    EXPECT_EQ(charLength("a\x81", 1), 1u);
    EXPECT_EQ(charLength("a", 1), 0u);
    EXPECT_EQ(findText("\xB0]]", "]"), 2u);
    EXPECT_EQ(findText("ab", ""), std::string_view::npos);
}

// The plain definition of a search by characters: try a match at every character start.
std::size_t findByWalking(std::string_view text, std::string_view what, std::size_t from) {
    if (what.empty()) return std::string_view::npos;
    for (std::size_t pos = from; pos + what.size() <= text.size(); pos += charLength(text, pos)) {
        if (text.compare(pos, what.size(), what) == 0) return pos;
    }
    return std::string_view::npos;
}

TEST(FindAtCharStart, AgreesWithTheCharacterWalk) {
    // Short texts over bytes that make lead and trail bytes collide with the patterns.
    const char bytes[] = {'a', ']', '&', '[', '\xB0', '\xA1', '\x5D', '\xFF'};
    const std::string_view patterns[] = {"]", "&[", "\xA1\xA1", "\xB0]", "a\xB0", "]]"};
    std::uint32_t seed = 7;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int round = 0; round < 20000; ++round) {
        Text text;
        for (std::uint32_t n = next() % 12; n > 0; --n) text += bytes[next() % std::size(bytes)];
        std::string_view what = patterns[next() % std::size(patterns)];
        // Every start that a walk from the beginning reaches.
        for (std::size_t from = 0; from <= text.size();
             from += std::max<std::size_t>(1, charLength(text, from))) {
            ASSERT_EQ(findAtCharStart(text, what, from), findByWalking(text, what, from))
                << text << " / " << what << " from " << from;
        }
    }
}

TEST(SystemTexts, AreCodePage936Bytes) {
    EXPECT_EQ(Text(texts::argumentError), cp(u8"参数传递异常"));
    EXPECT_EQ(texts::argumentError.size(), 12u);
}

}  // namespace
}  // namespace rulecore
