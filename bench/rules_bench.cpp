// Loading and expanding every key of a large generated rules text in each
// program's variant, and the first-match scan that the key index replaces.
#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "rulecore/rules/expander.h"
#include "rulecore/rules/parse.h"
#include "rulecore/rules/report.h"

namespace {

using namespace rulecore;

class CountingReporter final : public Reporter {
public:
    void report(ReportKind, const Text&, bool) override { ++count; }
    std::size_t count = 0;
};

class StillClock final : public Clock {
public:
    LocalTime now() override { return {2018, 5, 3, 9, 5, 7}; }
};

constexpr std::size_t leafCount = 100;

// Keys ##常量N## (code page 936). The first leafCount constants refer to names that
// have no definition; every other one refers to two of them. Every value is about
// 60 bytes with two references and one replacement directive, so each key takes
// three reference passes and one replacement.
Text key(std::size_t i) { return "##\xB3\xA3\xC1\xBF" + std::to_string(i) + "##"; }

Text generateRules(std::size_t definitions) {
    Text text;
    text.reserve(definitions * 80);
    for (std::size_t i = 0; i < definitions; ++i) {
        text += key(i);
        text += "==";
        if (i < leafCount) {
            text += "\xD2\xB6" + std::to_string(i) + "\xA3\xBA&[##\xCE\xDE" + std::to_string(i) +
                    "##]:&[##\xCE\xDE##]#[\xBC\xD7+\xD2\xD2]\xBC\xD7\xB1\xFB\xB6\xA1"
                    "\xB5\xC4\xBD\xE1\xCE\xB2\xCE\xC4\xD7\xD6\xA1\xA3";
        } else {
            text += "\xD6\xB5" + std::to_string(i) + "\xA3\xBA&[" + key(i * 7 % leafCount) +
                    "]/&[" + key(i * 13 % leafCount) +
                    "]#[\xBC\xD7+\xD2\xD2]\xBC\xD7\xB5\xC4\xBD\xE1\xCE\xB2\xCE\xC4\xD7\xD6\xA1\xA3";
        }
        text += "\r\n";
    }
    return text;
}

const Text& rulesText(std::size_t definitions) {
    static std::map<std::size_t, Text> cache;
    auto [it, added] = cache.try_emplace(definitions);
    if (added) it->second = generateRules(definitions);
    return it->second;
}

void loadAndExpandAll(benchmark::State& state, Variant variant) {
    const auto definitions = static_cast<std::size_t>(state.range(0));
    const Text& text = rulesText(definitions);
    std::size_t bytes = 0;
    for (auto _ : state) {
        RulesState rules;
        if (variant == Variant::PickPaste) {
            parseDefinitions(text, rules.table);
        } else {
            parseRules(text, rules);
        }
        CountingReporter reporter;
        StillClock clock;
        ConstantExpander expander(variant, rules.table, clock, reporter);
        for (const Text& name : rules.table.keys()) {
            if (variant == Variant::PickPaste) {
                SelectionResult result = expander.expandSelection(name);
                bytes += result.items.empty() ? 0 : result.items.front().size();
            } else {
                bytes += expander.expandConstant(name).size();
            }
        }
        benchmark::DoNotOptimize(reporter.count);
    }
    benchmark::DoNotOptimize(bytes);
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void BM_LoadAndExpandAll_fillrun(benchmark::State& state) {
    loadAndExpandAll(state, Variant::FillRun);
}
void BM_LoadAndExpandAll_fillprint(benchmark::State& state) {
    loadAndExpandAll(state, Variant::FillPrint);
}
void BM_LoadAndExpandAll_pickpaste(benchmark::State& state) {
    loadAndExpandAll(state, Variant::PickPaste);
}

// Finding every key of the table once: by walking the keys from the first, as a
// lookup without an index must, and through the index.
void BM_FirstMatchScan(benchmark::State& state) {
    RulesTable table;
    parseDefinitions(rulesText(static_cast<std::size_t>(state.range(0))), table);
    for (auto _ : state) {
        std::size_t sum = 0;
        for (const Text& name : table.keys()) {
            for (std::size_t i = 0; i < table.size(); ++i) {
                if (table.keys()[i] == name) {
                    sum += i;
                    break;
                }
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetComplexityN(state.range(0));
}

void BM_IndexLookup(benchmark::State& state) {
    RulesTable table;
    parseDefinitions(rulesText(static_cast<std::size_t>(state.range(0))), table);
    for (auto _ : state) {
        std::size_t sum = 0;
        for (const Text& name : table.keys()) sum += table.firstIndexOf(name).value_or(0);
        benchmark::DoNotOptimize(sum);
    }
    state.SetComplexityN(state.range(0));
}

}  // namespace

// Several rounds even at 100,000 keys, so the first round's fresh memory pages do
// not weigh on the large size alone, and the median of five runs, so that a busy
// machine does not decide the comparison of the two sizes.
#define RULES_BENCHMARK(function)                                                 \
    BENCHMARK(function)->Arg(10000)->Arg(100000)->MinTime(2.0)->Repetitions(5)    \
        ->DisplayAggregatesOnly(true)->Unit(benchmark::kMillisecond)              \
        ->Complexity(benchmark::oN)
RULES_BENCHMARK(BM_LoadAndExpandAll_fillrun);
RULES_BENCHMARK(BM_LoadAndExpandAll_fillprint);
RULES_BENCHMARK(BM_LoadAndExpandAll_pickpaste);
BENCHMARK(BM_IndexLookup)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_FirstMatchScan)->Arg(10000)->Arg(100000)->Iterations(1)
    ->Unit(benchmark::kMillisecond)->Complexity(benchmark::oNSquared);

BENCHMARK_MAIN();
