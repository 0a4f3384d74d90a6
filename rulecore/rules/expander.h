#pragma once

#include <cstddef>

#include "rulecore/rules/report.h"
#include "rulecore/rules/rules_table.h"

namespace rulecore {

enum class Variant { FillRun, FillPrint, PickPaste };

struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Clock {
public:
    virtual LocalTime now() = 0;

protected:
    ~Clock() = default;
};

// The computer's local date and time.
class SystemClock final : public Clock {
public:
    LocalTime now() override;
};

struct SelectionResult {
    bool show = false;
    TextList items;
};

// Bounds of one expansion: the reference passes, the size of the working value
// and the bytes scanned in all, so that no rules text makes it run without end.
// The programs use the defaults; a fuzzer may choose smaller ones to go faster.
struct ExpansionLimits {
    int maxReferencePasses = 1000;
    std::size_t maxWorkingSize = std::size_t{16} << 20;
    std::size_t maxScannedBytes = std::size_t{256} << 20;
};

// Expands raw values with references, replacements, symbols, date and time, in the
// variant of one program. Keeps nothing between calls; reads the table it is given.
class ConstantExpander {
public:
    ConstantExpander(Variant variant, const RulesTable& table, Clock& clock, Reporter& reporter,
                     ExpansionLimits limits = {});

    Text expandConstant(const Text& key);             // fillrun, fillprint
    SelectionResult expandSelection(const Text& key);  // pickpaste
    Text fetchRawValue(const Text& name);

    static constexpr int maxReferencePasses = ExpansionLimits{}.maxReferencePasses;
    static constexpr std::size_t maxWorkingSize = ExpansionLimits{}.maxWorkingSize;
    static constexpr std::size_t maxScannedBytes = ExpansionLimits{}.maxScannedBytes;

private:
    enum class Outcome { Expanded, DateOrTime, NotFound, Unexpandable };
    class Budget;

    Outcome expand(const Text& key, Text& value);
    bool resolveReferences(const Text& key, Text& value, Budget& budget, TextList& missing);
    void reportMissing(const TextList& missing);
    bool applyReplacements(Text& value, Budget& budget) const;
    bool splitReplacement(const Text& item, Text& oldText, Text& newText) const;
    void reportUnexpandable(const Text& key);

    Variant variant_;
    const RulesTable& table_;
    Clock& clock_;
    Reporter& reporter_;
    ExpansionLimits limits_;
};

}  // namespace rulecore
