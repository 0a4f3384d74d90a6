#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>

#include "rulecore/rules/expander.h"
#include "rulecore/rules/extract.h"
#include "rulecore/rules/parse.h"
#include "rulecore/texts/system_texts.h"
#include "tests/rules/rules_fixtures.h"

namespace rulecore {
namespace {

using test::cp;
using test::Report;
using Reports = std::vector<Report>;

constexpr Variant allVariants[] = {Variant::FillRun, Variant::FillPrint, Variant::PickPaste};

const char* nameOf(Variant v) {
    switch (v) {
        case Variant::FillRun:
            return "fillrun";
        case Variant::FillPrint:
            return "fillprint";
        case Variant::PickPaste:
            return "pickpaste";
    }
    return "?";
}

// What one expansion gave, in the terms of its program.
struct Outcome {
    Text value;         // fillrun, fillprint
    bool show = false;  // pickpaste
    TextList items;     // pickpaste
    Reports reports;
    bool ended = false;
    int clockReads = 0;
};

Outcome expand(Variant variant, const RulesTable& table, const Text& key) {
    test::FakeClock clock;
    test::RecordingReporter reporter;
    ConstantExpander expander(variant, table, clock, reporter);
    Outcome outcome;
    try {
        if (variant == Variant::PickPaste) {
            SelectionResult result = expander.expandSelection(key);
            outcome.show = result.show;
            outcome.items = result.items;
        } else {
            outcome.value = expander.expandConstant(key);
        }
    } catch (const ProgramEnd&) {
        outcome.ended = true;
    }
    outcome.reports = reporter.reports;
    outcome.clockReads = clock.reads;
    return outcome;
}

Outcome expand(Variant variant, std::string_view rules, const Text& key) {
    RulesTable table;
    parseDefinitions(rules, table);
    return expand(variant, table, key);
}

// The value as the variant delivers it, joined back for pickpaste.
Text delivered(Variant variant, const Outcome& o) {
    if (variant != Variant::PickPaste) return o.value;
    Text joined;
    for (std::size_t i = 0; i < o.items.size(); ++i) joined += (i ? "&&" : "") + o.items[i];
    return joined;
}

const Text dateText = cp(u8"2018年5月3日");
const Text timeText = cp(u8"9时5分7秒");

TEST(ConstantExpander, GivesTheWorkedExampleInEveryVariant) {
    // The teaching constants of the reference card, as definition lines.
    TextList card = splitText(defaultConstantsContent(), "\r\n");
    Text rules;
    for (std::size_t line = 15; line < 19; ++line) rules += card[line].substr(1) + "\r\n";
    Text prefix17 = cp(u8"'##测试B##==[“+'][”+']#[BCD+bcd]&[##测试A##]");
    Text comma = cp(u8"，");
    Text s1 = card[16].substr(prefix17.size(), card[16].size() - prefix17.size() - comma.size());
    Text s2 = card[17].substr(cp(u8"'##测试C##==#[，+,]&[##测试B##]").size());

    Text a = cp(u8"“A”BCDEFG【123456】");
    Text common = cp(u8"[“+'][”+']“A”bcdEFG【123456】") + s1;
    const std::pair<Text, Text> expected[] = {
        {cp(u8"##测试A##"), a},
        {cp(u8"##测试B##"), common + comma},
        {cp(u8"##测试C##"), common + "," + s2},
        {cp(u8"##测试D##"), common + "," + s2 + "&HIJKLNM"},
    };
    for (Variant variant : allVariants) {
        for (const auto& [key, value] : expected) {
            Outcome o = expand(variant, rules, key);
            EXPECT_EQ(delivered(variant, o), value) << nameOf(variant) << " " << test::utf8(key);
            EXPECT_TRUE(o.reports.empty()) << nameOf(variant);
            if (variant == Variant::PickPaste) {
                EXPECT_TRUE(o.show);
                EXPECT_EQ(o.items.size(), 1u);
            }
        }
    }
}

TEST(ConstantExpander, AppliesDirectivesInOrder) {
    struct Case {
        const char* name;
        std::u8string_view rules;
        std::u8string_view value;
    };
    const Case cases[] = {
        {"first definition wins, for keys and references", u8"K==1&[R]\r\nR==a\r\nK==2\r\nR==b",
         u8"1a"},
        {"replacement from a reference acts on the whole value", u8"K==abc&[R]\r\nR==#[b+B]",
         u8"aBc"},
        {"symbol from a reference", u8"K==a&[R]b\r\nR==#制表符", u8"a\tb"},
        {"references resolve pass by pass", u8"K==&[R]&[S]\r\nR==&[S]1\r\nS==2", u8"212"},
        {"reference made by a replacement stays", u8"K==#[%+&]%[R]\r\nR==x", u8"&[R]"},
        {"directive made by a replacement stays", u8"K==#[Q+#]Q[b+c]b", u8"#[b+c]b"},
        {"symbol made by a replacement is substituted", u8"K==#[X+#]X空a", u8"a"},
        {"symbols in order", u8"K==a#换行符b#制表符c#空d", u8"a\r\nb\tcd"},
        {"empty comes last", u8"K==#换#空行符", u8"#换行符"},
        {"empty or blank reference stays", u8"K==&[]&[ ]&[R", u8"&[]&[ ]&[R"},
        {"nested reference leaves its last bracket", u8"K==x&[a&[b]]y", u8"x]y"},
        {"empty raw value removes the reference", u8"K==a&[E]b\r\nE==", u8"ab"},
        {"missing name removes the reference", u8"K==a&[N]b", u8"ab"},
        {"a single & separates nothing", u8"K==a&b", u8"a&b"},
        {"directive's own old text", u8"K==#[ab+c]zab", u8"zc"},
        {"replacements act in list order", u8"K==#[a+b]#[xa+y]xa", u8"#[xb+y]xb"},
        {"date and time are plain text in a value", u8"K==##日期####时间##", u8"##日期####时间##"},
    };
    for (const Case& c : cases) {
        for (Variant variant : {Variant::FillRun, Variant::PickPaste}) {
            Outcome o = expand(variant, cp(c.rules), "K");
            EXPECT_EQ(delivered(variant, o), cp(c.value)) << c.name << " " << nameOf(variant);
            EXPECT_TRUE(o.reports.empty()) << c.name;
        }
    }
}

TEST(ConstantExpander, SplitsReplacementDirectivesByVariant) {
    struct Case {
        Text value;
        Text fillrun;  // and fillprint
        Text pickpaste;
    };
    const Case cases[] = {
        // clang-format off
        {"#[abc]a",     "#[abc]a",   "#[abc]a"},
        {"#[a+b+c]a",   "#[a+b+c]a", "#[a+b+c]a"},
        {"#[a++b]a",    "#[a++b]a",  "#[a++b]a"},
        {"#[+b]xb",     "xb",        "xb"},
        {"#[a+]banana", "bnn",       "#[a+]banana"},
        {"#[+]x",       "x",         "#[+]x"},
        {"#[ a+b ]a",   "#[ b+b ]b", "#[ b+b ]b"},
        {"#[a+b]",      "",          ""},
        // clang-format on
    };
    for (const Case& c : cases) {
        EXPECT_EQ(expand(Variant::FillRun, "K==" + c.value, "K").value, c.fillrun) << c.value;
        EXPECT_EQ(expand(Variant::FillPrint, "K==" + c.value, "K").value, c.fillrun) << c.value;
        EXPECT_EQ(delivered(Variant::PickPaste, expand(Variant::PickPaste, "K==" + c.value, "K")),
                  c.pickpaste)
            << c.value;
    }
}

TEST(ConstantExpander, PickPasteCutsItemsAtDoubleAmpersands) {
    struct Case {
        Text value;
        TextList items;
    };
    const Case cases[] = {
        {"a&&b&&c", {"a", "b", "c"}},
        {"&&a", {"", "a"}},
        {"a&&", {"a"}},
        {"a&&&&b", {"a", "", "b"}},
        {"&[E]", {}},
        {cp(u8"#空"), {}},
        {cp(u8"a【x&&y】"), {cp(u8"a【x"), cp(u8"y】")}},
    };
    for (const Case& c : cases) {
        Outcome o = expand(Variant::PickPaste, "K==" + c.value, "K");
        EXPECT_TRUE(o.show) << c.value;
        EXPECT_EQ(o.items, c.items) << c.value;
    }
    EXPECT_EQ(expand(Variant::FillRun, "K==a&&b", "K").value, "a&&b");
}

TEST(ConstantExpander, KeyRuleDecidesAtTheFirstKey) {
    const Text date = Text(texts::dateKey);
    const Text time = Text(texts::timeKey);
    struct Case {
        const char* name;
        Variant variant;
        Text rules;
        Text key;
        Text value;
        int clockReads;
    };
    const Case cases[] = {
        {"date as a later key", Variant::FillRun, "X==1\r\n" + date + "==x", date, dateText, 1},
        {"time without a definition", Variant::FillRun, "X==1", time, timeText, 1},
        {"date as the first key", Variant::FillRun, date + "==x\r\nX==1", date, "x", 0},
        {"other keys read no clock", Variant::FillRun, "X==1", "X", "1", 0},
        {"fillprint has no key rule", Variant::FillPrint, "X==1\r\n" + date + "==x", date, "x", 1},
        {"fillprint reads the clock once per expansion", Variant::FillPrint,
         "X==" + date + "," + time + "," + date, "X", dateText + "," + timeText + "," + dateText,
         1},
        {"fillprint fills date from a reference", Variant::FillPrint, "X==&[R]\r\nR==" + time, "X",
         timeText, 1},
        {"pickpaste date as the only item", Variant::PickPaste, "X==1\r\n" + date + "==a&&b", date,
         dateText, 1},
        {"pickpaste date as the first key", Variant::PickPaste, date + "==a&&b", date, "a&&b", 0},
    };
    for (const Case& c : cases) {
        Outcome o = expand(c.variant, c.rules, c.key);
        EXPECT_EQ(delivered(c.variant, o), c.value) << c.name;
        EXPECT_EQ(o.clockReads, c.clockReads) << c.name;
        EXPECT_TRUE(o.reports.empty()) << c.name;
        if (c.variant == Variant::PickPaste) {
            EXPECT_TRUE(o.show) << c.name;
        }
    }

    // An empty table finds nothing, not even the date.
    EXPECT_EQ(expand(Variant::FillRun, "", date).reports,
              (Reports{{ReportKind::KeyNotFound, cp(u8"没有找到关键字: ") + date, false}}));
    Outcome none = expand(Variant::PickPaste, "", date);
    EXPECT_FALSE(none.show);
    EXPECT_EQ(none.clockReads, 0);
}

TEST(ConstantExpander, ReportsAsEachProgramDoes) {
    const Text notFound = cp(u8"没有找到关键字: Q");
    for (Variant variant : {Variant::FillRun, Variant::FillPrint}) {
        Outcome o = expand(variant, "K==1", "Q");
        EXPECT_EQ(o.value, "");
        EXPECT_FALSE(o.ended);
        EXPECT_EQ(o.reports, (Reports{{ReportKind::KeyNotFound, notFound, false}}))
            << nameOf(variant);
    }
    Outcome quiet = expand(Variant::PickPaste, "K==1", "Q");
    EXPECT_FALSE(quiet.show);
    EXPECT_TRUE(quiet.items.empty());
    EXPECT_TRUE(quiet.reports.empty());

    // fillprint names every listed reference without a definition, repeats included.
    const Text rules = "K==a&[N]b&[N]&[M]&[D]\r\nD==d";
    for (Variant variant : allVariants) {
        Outcome o = expand(variant, rules, "K");
        EXPECT_EQ(delivered(variant, o), "abd") << nameOf(variant);
        Reports expected;
        if (variant == Variant::FillPrint) {
            for (const char* name : {"N", "N", "M"}) {
                expected.push_back(
                    {ReportKind::MissingConstant, cp(u8"异常！无法取出常量值 ") + name, false});
            }
        }
        EXPECT_EQ(o.reports, expected) << nameOf(variant);
    }

    // Taking out &[m] joins "&" and "[n]" into a reference that the same pass
    // replaces, so n is named once per listing, not once more in a second pass.
    Outcome joined = expand(Variant::FillPrint, "K==&&[m][n]&[n]", "K");
    EXPECT_EQ(joined.value, "");
    EXPECT_EQ(joined.reports,
              (Reports{{ReportKind::MissingConstant, cp(u8"异常！无法取出常量值 m"), false},
                       {ReportKind::MissingConstant, cp(u8"异常！无法取出常量值 n"), false}}));
}

TEST(ConstantExpander, SelfReferenceEndsEveryProgram) {
    struct Case {
        const char* name;
        Text rules;
        Text item;
    };
    const Case cases[] = {
        {"direct", "##A##==x&[##A##]", "&[##A##]"},
        {"spaces inside the brackets", "##A##==&[ ##A## ]", "&[##A##]"},
        {"cycle back to the key", "##A##==&[##B##]\r\n##B##==&[##A##]", "&[##A##]"},
        {"after other references of the same pass", "##A##==&[##B##]&[##A##]\r\n##B##==b",
         "&[##A##]"},
    };
    for (const Case& c : cases) {
        for (Variant variant : allVariants) {
            Outcome o = expand(variant, c.rules, "##A##");
            EXPECT_TRUE(o.ended) << c.name << " " << nameOf(variant);
            Text text = cp(u8"常量 ##A## ") + c.item + cp(u8"错误的引用自己！");
            EXPECT_EQ(o.reports, (Reports{{ReportKind::SelfReference, text, true}}))
                << c.name << " " << nameOf(variant);
        }
    }
    // fillprint names the missing constant of the same pass before it ends.
    Outcome o = expand(Variant::FillPrint, "##A##==&[N]&[##A##]", "##A##");
    ASSERT_EQ(o.reports.size(), 2u);
    EXPECT_EQ(o.reports[0].kind, ReportKind::MissingConstant);
    EXPECT_EQ(o.reports[1].kind, ReportKind::SelfReference);
}

TEST(ConstantExpander, StopsReferencesThatNeverResolve) {
    struct Case {
        const char* name;
        Text rules;
    };
    const Case cases[] = {
        {"spaces inside the brackets around another name", "##A##==&[ ##B## ]\r\n##B##==x"},
        {"cycle that does not pass through the key",
         "##A##==&[##B##]\r\n##B##==&[##C##]\r\n##C##==&[##B##]"},
        {"constant growing by one through itself", "##A##==&[##B##]\r\n##B##==x&[##B##]"},
        {"cycle that lists a missing name on every pass",
         "##A##==&[##B##]\r\n##B##==&[##C##]&[N]\r\n##C##==&[##B##]"},
        {"doubling with a missing name", "##A##==&[##B##]\r\n##B##==&[##B##]&[N]&[##B##]"},
        {"constant doubling through itself", "##A##==&[##B##]\r\n##B##==&[##B##]&[##B##]"},
        {"replacement that grows past the limit",
         "##A##==#[x+xxxxxxxxxxxxxxxxxxxx]&[##B##]\r\n##B##==" + Text(std::size_t{1} << 20, 'x')},
    };
    const Text text = cp(u8"常量 ##A## 的引用无法展开！");
    for (const Case& c : cases) {
        for (Variant variant : allVariants) {
            Outcome o = expand(variant, c.rules, "##A##");
            bool ends = variant != Variant::PickPaste;
            EXPECT_EQ(o.ended, ends) << c.name << " " << nameOf(variant);
            // Only the one report: fillprint names no missing constants of a
            // value that never came to an end.
            EXPECT_EQ(o.reports, (Reports{{ReportKind::Unexpandable, text, ends}}))
                << c.name << " " << nameOf(variant);
            EXPECT_FALSE(o.show);
            EXPECT_TRUE(o.items.empty());
        }
    }
}

// The reference passes written out plainly: item after item, pass after pass.
// Gives "<self>" for a self-reference and "<stuck>" for a pass that changed nothing
// or for a value that needs more passes or room than a test should spend.
Text resolveItemByItem(const RulesTable& table, const Text& key) {
    auto raw = [&](const Text& name) {
        auto index = table.firstIndexOf(name);
        return index ? table.values()[*index] : Text();
    };
    Text value = raw(key);
    for (int pass = 0; pass < 40; ++pass) {
        TextList items = extractMarked(value, "&[", "]");
        if (items.empty()) return value;
        Text before = value;
        for (const Text& item : items) {
            Text name = item.substr(2, item.size() - 3);
            if (name == key) return "<self>";
            value = replaceAll(value, item, raw(name));
            if (value.size() > 4096) return "<stuck>";
        }
        if (value == before) return "<stuck>";
    }
    return "<stuck>";
}

TEST(ConstantExpander, ResolvesReferencesAsIfItemByItem) {
    // Pieces where a pass done in one walk could differ from item-by-item
    // replacement: nesting, joins of "&" and "[", inert and active raw values.
    const char* pieces[] = {"&[",   "]",    "&",    "[",    "a",      "b", " ",
                            "\xB0", "&[a]", "&[b]", "&[c]", "&[ a ]", "x"};
    std::uint32_t seed = 99;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    auto randomText = [&](std::uint32_t maxPieces) {
        Text text;
        for (std::uint32_t n = next() % maxPieces; n > 0; --n)
            text += pieces[next() % std::size(pieces)];
        return text;
    };
    int compared = 0;
    for (int round = 0; round < 3000; ++round) {
        RulesTable table;
        table.append("k", randomText(12));
        // Leaves are often inert, so that whole passes go in one walk.
        for (const char* name : {"a", "b", "c"}) {
            table.append(name, next() % 2 ? Text(next() % 3, 'v') : randomText(4));
        }
        Text expected = resolveItemByItem(table, "k");
        if (expected == "<stuck>") continue;
        ++compared;
        Outcome o = expand(Variant::FillRun, table, "k");
        Text got = o.ended ? Text("<self>") : o.value;
        ASSERT_EQ(got, expected) << table.values()[0] << " | " << table.values()[1] << " | "
                                 << table.values()[2] << " | " << table.values()[3];
    }
    EXPECT_GT(compared, 1500);
}

// K0 refers to K1, ..., the last one holds "end": one pass per link.
RulesTable chain(int links) {
    auto name = [](int i) { return Text("K").append(std::to_string(i)); };
    RulesTable table;
    for (int i = 0; i < links; ++i) {
        table.append(name(i), Text("&[").append(name(i + 1)).append("]"));
    }
    table.append(name(links), "end");
    return table;
}

TEST(ConstantExpander, ResolvesAThousandPassesAndNoMore) {
    Outcome deep = expand(Variant::FillRun, chain(ConstantExpander::maxReferencePasses), "K0");
    EXPECT_EQ(deep.value, "end");
    EXPECT_TRUE(deep.reports.empty());

    Outcome tooDeep =
        expand(Variant::FillRun, chain(ConstantExpander::maxReferencePasses + 1), "K0");
    EXPECT_TRUE(tooDeep.ended);
    ASSERT_EQ(tooDeep.reports.size(), 1u);
    EXPECT_EQ(tooDeep.reports[0].kind, ReportKind::Unexpandable);
}

TEST(ConstantExpander, HonoursChosenLimits) {
    struct Case {
        const char* name;
        ExpansionLimits limits;
        RulesTable table;
        bool expands;
    };
    RulesTable growing;
    parseDefinitions("A==&[B]\r\nB==xx&[B]", growing);
    RulesTable scanning;
    scanning.append("A", Text(200, 'a').append("&[B]"));
    scanning.append("B", "b");
    const Case cases[] = {
        {"five passes", {5, 1 << 20, 1 << 20}, chain(5), true},
        {"six passes", {5, 1 << 20, 1 << 20}, chain(6), false},
        {"a value within 64 bytes", {1000, 64, 1 << 20}, chain(30), true},
        {"a value growing past 64 bytes", {1000, 64, 1 << 20}, growing, false},
        // Two passes and the replacement pass scan about 800 bytes here.
        {"a scan budget that covers the expansion", {1000, 1 << 20, 1000}, scanning, true},
        {"half of that", {1000, 1 << 20, 400}, scanning, false},
    };
    for (const Case& c : cases) {
        test::FakeClock clock;
        test::RecordingReporter reporter;
        ConstantExpander expander(Variant::PickPaste, c.table, clock, reporter, c.limits);
        EXPECT_EQ(expander.expandSelection(c.table.keys().front()).show, c.expands) << c.name;
        EXPECT_EQ(reporter.reports.empty(), c.expands) << c.name;
    }
}

TEST(ConstantExpander, FetchRawValueCopiesTheFirstDefinition) {
    RulesTable table;
    parseDefinitions(cp(u8"A==&[B]#空\r\nA==2\r\n==e"), table);
    test::FakeClock clock;
    for (Variant variant : allVariants) {
        test::RecordingReporter reporter;
        ConstantExpander expander(variant, table, clock, reporter);
        EXPECT_EQ(expander.fetchRawValue("A"), cp(u8"&[B]#空"));
        EXPECT_EQ(expander.fetchRawValue(""), "e");
        EXPECT_EQ(expander.fetchRawValue("Z"), "");
        EXPECT_EQ(reporter.reports.size(), variant == Variant::FillPrint ? 1u : 0u);
    }
    EXPECT_EQ(clock.reads, 0);
}

}  // namespace
}  // namespace rulecore
