#include "rulecheck/rulecheck_app.h"

#include <variant>

#include "rulecheck/lint.h"
#include "rulecore/platform/os.h"
#include "rulecore/rules/parse.h"
#include "rulecore/rules/report.h"

namespace rulecheck {

using rulecore::Text;
using rulecore::Variant;
namespace os = rulecore::os;

namespace {

class RecordingReporter final : public rulecore::Reporter {
public:
    explicit RecordingReporter(KeyResult& result) : result_(result) {}
    void report(rulecore::ReportKind kind, const Text& text, bool endsProgram) override {
        result_.reports.push_back(text);
        if (kind == rulecore::ReportKind::KeyNotFound) result_.found = false;
        if (endsProgram) result_.ends = true;
    }

private:
    KeyResult& result_;
};

constexpr std::size_t flushSize = 1 << 16;

}  // namespace

KeyResult expandKey(const rulecore::RulesTable& table, Variant variant, rulecore::Clock& clock,
                    const Text& key) {
    KeyResult result;
    result.key = key;
    RecordingReporter reporter(result);
    rulecore::ConstantExpander expander(variant, table, clock, reporter);
    try {
        if (variant == Variant::PickPaste) {
            rulecore::SelectionResult selection = expander.expandSelection(key);
            result.shown = selection.show;
            result.items = std::move(selection.items);
        } else {
            result.value = expander.expandConstant(key);
        }
    } catch (const rulecore::ProgramEnd&) {
        result.ends = true;
    }
    if (variant == Variant::PickPaste) result.found = result.shown;
    return result;
}

int RulecheckApp::run(const std::vector<std::string>& args) {
    auto parsed = parseArguments(args);
    if (auto* error = std::get_if<UsageError>(&parsed)) {
        os::writeStderr("rulecheck: " + error->message + "\n" + std::string(usageText()));
        return 2;
    }
    options_ = std::get<Options>(std::move(parsed));
    if (options_.help) {
        os::writeStdout(usageText());
        return 0;
    }
    if (options_.now) fixedClock_.emplace(*options_.now);
    return check();
}

int RulecheckApp::check() {
    if (!load()) return 2;
    expandAll();
    if (options_.variant != Variant::PickPaste) writeLatePairs();
    flush();
    return allFine_ ? 0 : 1;
}

bool RulecheckApp::load() {
    Text path = argumentText(options_.rulesPath);
    if (!os::fileExists(path) || !fileReadable(path)) {
        os::writeStderr("rulecheck: cannot read " + options_.rulesPath +
                        (os::fileExists(path) ? "\n" : ": no such file\n"));
        return false;
    }
    Text text = os::readTextFile(path);
    std::string warnings;
    for (const Lint& lint : lintRules(text, options_.variant)) {
        warnings += lintLine(options_.rulesPath, lint);
    }
    if (!warnings.empty()) os::writeStderr(warnings);
    if (options_.variant == Variant::PickPaste) {
        rulecore::parseDefinitions(text, rules_.table);
    } else {
        rulecore::parseRules(text, rules_);
    }
    return true;
}

void RulecheckApp::expandAll() {
    auto expandOne = [this](const Text& key) {
        KeyResult result = expandKey(rules_.table, options_.variant, clock(), key);
        if (!result.found || result.ends) allFine_ = false;
        write(result);
    };
    if (options_.keys.empty()) {
        for (const Text& key : rules_.table.keys()) expandOne(key);
    } else {
        for (const std::string& key : options_.keys) expandOne(argumentText(key));
    }
}

void RulecheckApp::write(const KeyResult& result) {
    if (options_.json) {
        out(jsonResult(result, options_.variant));
    } else {
        out(os::toConsole(humanResult(result, options_.variant)));
    }
}

void RulecheckApp::writeLatePairs() {
    const rulecore::LatePairs& late = rules_.late;
    for (std::size_t i = 0; i < late.size(); ++i) {
        if (options_.json) {
            out(jsonLate(late.targets[i], late.texts[i]));
        } else {
            out(os::toConsole(humanLate(late.targets[i], late.texts[i])));
        }
    }
}

void RulecheckApp::out(std::string_view bytes) {
    pending_ += bytes;
    if (pending_.size() >= flushSize) flush();
}

void RulecheckApp::flush() {
    if (pending_.empty()) return;
    os::writeStdout(pending_);
    pending_.clear();
}

rulecore::Clock& RulecheckApp::clock() {
    if (fixedClock_) return *fixedClock_;
    return systemClock_;
}

}  // namespace rulecheck
