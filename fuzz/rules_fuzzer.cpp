// Loads arbitrary bytes as rules text the way each program does and expands
// every key in every program's variant: nothing may crash, hang or run away.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "rulecore/rules/expander.h"
#include "rulecore/rules/parse.h"
#include "rulecore/rules/report.h"

namespace {

using namespace rulecore;

class QuietReporter final : public Reporter {
public:
    void report(ReportKind, const Text&, bool) override {}
};

class StillClock final : public Clock {
public:
    LocalTime now() override { return {2018, 5, 3, 9, 5, 7}; }
};

// Bounds the work per input. Every key goes through the same code, so a few dozen
// keys show what many would. The expansion bounds are the programs' own kind,
// only smaller: a value that doubles through a reference cycle then stops at
// 1 MiB instead of 16 MiB, and the fuzzer keeps its pace under the sanitizers.
constexpr std::size_t maxKeysPerVariant = 32;
constexpr ExpansionLimits fuzzLimits{100, std::size_t{1} << 20, std::size_t{16} << 20};

void expandKeys(Variant variant, const RulesTable& table) {
    QuietReporter reporter;
    StillClock clock;
    ConstantExpander expander(variant, table, clock, reporter, fuzzLimits);
    auto expandOne = [&](const Text& key) {
        try {
            if (variant == Variant::PickPaste) {
                (void)expander.expandSelection(key);
            } else {
                (void)expander.expandConstant(key);
            }
        } catch (const ProgramEnd&) {
            // The program would end here; the next key is expanded as if anew.
        }
    };
    std::size_t count = 0;
    for (const Text& key : table.keys()) {
        if (++count > maxKeysPerVariant) break;
        expandOne(key);
    }
    // The key rule and a key that is not there.
    expandOne("##\xC8\xD5\xC6\xDA##");  // ##日期##
    expandOne("##\xCA\xB1\xBC\xE4##");  // ##时间##
    expandOne("\x01not a key");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    // A file's text ends at its first NUL; the editor's text in fillprint may not.
    RulesState state;
    parseRules(text, state);
    expandKeys(Variant::FillRun, state.table);
    expandKeys(Variant::FillPrint, state.table);

    RulesTable table;
    parseDefinitions(text, table);
    expandKeys(Variant::PickPaste, table);
    return 0;
}
