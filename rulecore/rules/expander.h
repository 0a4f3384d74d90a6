#pragma once

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

// Expands raw values with references, replacements, symbols, date and time, in the
// variant of one program. Keeps nothing between calls; reads the table it is given.
class ConstantExpander {
public:
    ConstantExpander(Variant variant, const RulesTable& table, Clock& clock, Reporter& reporter);

    Text expandConstant(const Text& key);             // fillrun, fillprint
    SelectionResult expandSelection(const Text& key);  // pickpaste
    Text fetchRawValue(const Text& name);

private:
    Variant variant_;
    const RulesTable& table_;
    Clock& clock_;
    Reporter& reporter_;
};

}  // namespace rulecore
