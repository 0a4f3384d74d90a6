#include <gtest/gtest.h>

#include "rulecore/rules/extract.h"
#include "rulecore/rules/message_pump.h"
#include "tests/support/cp936.h"

namespace rulecore {
namespace {

using test::cp;

TEST(ExtractMarked, FindsSpansAsEveryCallerSeesThem) {
    struct Case {
        Text text;
        Text open;
        Text close;
        TextList items;
    };
    const Case cases[] = {
        {"&[a&[b]c]", "&[", "]", {"&[a&[b]"}},
        {"&[a]&[b", "&[", "]", {"&[a]"}},
        {"x]&[a]", "&[", "]", {"&[a]"}},
        {"&[]x&[ ]&[b]", "&[", "]", {"&[b]"}},
        {"&[a]&[a]", "&[", "]", {"&[a]", "&[a]"}},
        {"&[ A ]", "&[", "]", {"&[A]"}},
        {cp(u8"&[\u3000 A\u3000\u3000]"), "&[", "]", {"&[A]"}},
        {"&[\tA\r\n]", "&[", "]", {"&[\tA\r\n]"}},
        {"Last[1+2]LAST[3+4]", "last[", "]", {"last[1+2]", "last[3+4]"}},
        {"##a##b##", "##", "##", {"##a##", "##b##"}},
        {"", "&[", "]", {}},
        {"no markers", "&[", "]", {}},
        // 0xD5 0x5D is one character: its second byte is no close marker.
        {"&[a\xD5]b]", "&[", "]", {"&[a\xD5]b]"}},
        // Neither is an open marker whose bytes straddle a character.
        {"\xD5&[x]", "&[", "]", {}},
        {cp(u8"【备注】a【 】"), cp(u8"【"), cp(u8"】"), {cp(u8"【备注】")}},
        // A lone lead byte at the very end is one character.
        {"&[a]\x81", "&[", "]", {"&[a]"}},
        {"&[\x81]", "&[", "]", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(extractMarked(c.text, c.open, c.close), c.items) << test::utf8(c.text);
    }
}

TEST(ExtractBetween, HonoursEveryParameter) {
    struct Case {
        const char* name;
        Text open;
        Text text;
        bool caseSensitive;
        std::size_t maxLength;
        Text prefix;
        Text suffix;
        bool keepOpen;
        bool keepClose;
        long start;
        TextList items;
    };
    // clang-format off
    const Case cases[] = {
        {"prefix and suffix make an empty span an item", "&[", "&[]&[b]", false, 0, "(", ")", false,
         false, 0, {"()", "(b)"}},
        {"markers dropped", "&[", "&[a]&[b]", false, 0, "", "", false, false, 0, {"a", "b"}},
        {"only the close marker kept", "&[", "&[a]", false, 0, "", "", false, true, 0, {"a]"}},
        {"maxLength leaves out long items and goes on", "&[", "&[abcdef]&[ab]", false, 7, "", "",
         true, true, 0, {"&[ab]"}},
        {"maxLength counts markers, prefix and suffix", "&[", "&[ab]", false, 7, "<", ">", true, true,
         0, {}},
        {"case-sensitive markers", "last[", "LAST[1+2]last[3+4]", true, 0, "", "", true, true, 0,
         {"last[3+4]"}},
        {"marker spelled as passed", "last[", "LaSt[x]", false, 0, "", "", true, true, 0, {"last[x]"}},
        {"start position past the end", "&[", "&[a]", false, 0, "", "", true, true, 5, {}},
        {"start position is 1-based", "&[", "&[a]&[b]", false, 0, "", "", true, true, 2, {"&[b]"}},
        {"start position 1 is the first byte", "&[", "&[a]", false, 0, "", "", true, true, 1,
         {"&[a]"}},
        {"negative start position", "&[", "&[a]", false, 0, "", "", true, true, -7, {"&[a]"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        TextList items{"stale"};
        int count = extractBetween(c.text, c.open, "]", items, c.caseSensitive, c.maxLength,
                                   c.prefix, c.suffix, c.keepOpen, c.keepClose, c.start);
        EXPECT_EQ(items, c.items) << c.name;
        EXPECT_EQ(count, static_cast<int>(c.items.size())) << c.name;
    }
}

TEST(ExtractBetween, EmptyMarkersFindNothing) {
    TextList items{"stale"};
    EXPECT_EQ(extractBetween("abc", "", "]", items, false, 0, "", "", true, true, 0), 0);
    EXPECT_TRUE(items.empty());
    EXPECT_EQ(extractBetween("a]b]", "a", "", items, false, 0, "", "", true, true, 0), 0);
}

int pumpCalls = 0;
void countPump() { ++pumpCalls; }

// Installs the counting pump for one test and takes it away again.
struct CountingPump {
    CountingPump() {
        pumpCalls = 0;
        setMessagePump(countPump);
    }
    ~CountingPump() { setMessagePump(nullptr); }
    CountingPump(const CountingPump&) = delete;
    CountingPump& operator=(const CountingPump&) = delete;
};

TEST(ExtractBetween, LetsMessagesThroughAsOften) {
    struct Case {
        Text text;
        std::size_t maxLength;
        int calls;
    };
    const Case cases[] = {
        {"", 0, 0},
        {"&[a", 0, 0},  // the iteration that ends the scan pumps nothing
        {"&[a]", 0, 3},
        {"&[a]&[b]&[c", 0, 6},
        {"&[]&[ ]", 0, 6},         // empty spans still count as iterations
        {"&[a]", 9, 4},            // one more per non-empty item with a limit
        {"&[abcdef]&[ab]", 7, 8},  // also for the item left out
        {"&[]&[b]", 9, 7},         // but not for an empty span
    };
    for (const Case& c : cases) {
        CountingPump pump;
        TextList items;
        extractBetween(c.text, "&[", "]", items, false, c.maxLength, "", "", true, true, 0);
        EXPECT_EQ(pumpCalls, c.calls) << c.text << " limit " << c.maxLength;
    }
}

TEST(ExtractBetween, ScansMegabytesInOneWalk) {
    // Quadratic copying or rescanning would take minutes here.
    Text text;
    for (int i = 0; i < 200000; ++i) text += "&[k]x";
    text += Text(1 << 20, '\xB0');
    TextList items = extractMarked(text, "&[", "]");
    ASSERT_EQ(items.size(), 200000u);
    EXPECT_EQ(items.back(), "&[k]");

    Text unclosed(1 << 20, 'a');
    for (std::size_t i = 0; i < unclosed.size(); i += 8) unclosed.replace(i, 2, "&[");
    EXPECT_TRUE(extractMarked(unclosed, "&[", "]").empty());
}

}  // namespace
}  // namespace rulecore
