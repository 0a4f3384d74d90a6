#include "rulecore/rules/expander.h"

#include <ctime>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "rulecore/rules/char_search.h"
#include "rulecore/rules/extract.h"
#include "rulecore/texts/system_texts.h"

namespace rulecore {
namespace {

Text dateText(const LocalTime& t) {
    Text text = std::to_string(t.year);
    text.append(texts::yearMark).append(std::to_string(t.month));
    text.append(texts::monthMark).append(std::to_string(t.day));
    text.append(texts::dayMark);
    return text;
}

Text timeText(const LocalTime& t) {
    Text text = std::to_string(t.hour);
    text.append(texts::hourMark).append(std::to_string(t.minute));
    text.append(texts::minuteMark).append(std::to_string(t.second));
    text.append(texts::secondMark);
    return text;
}

// The name inside a listed item: the item without its open and close markers.
Text innerText(const Text& item, std::size_t openLength) {
    return item.substr(openLength, item.size() - openLength - texts::directiveClose.size());
}

enum class Replaced { Nothing, Changed, Same, TooLarge };

// Replace all, as replaceAll does, in place. A result that would be longer than
// limit and than the text before is not made.
Replaced replaceWithin(Text& text, std::string_view from, std::string_view to, std::size_t limit) {
    std::size_t pos = findAtCharStart(text, from, 0);
    if (pos == std::string_view::npos) return Replaced::Nothing;
    auto tooLarge = [&](std::size_t size) { return size > limit && size > text.size(); };
    Text out;
    std::size_t copied = 0;
    for (; pos != std::string_view::npos; pos = findAtCharStart(text, from, copied)) {
        out.append(text, copied, pos - copied).append(to);
        copied = pos + from.size();
        if (tooLarge(out.size())) return Replaced::TooLarge;
    }
    out.append(text, copied);
    if (tooLarge(out.size())) return Replaced::TooLarge;
    if (from == to) return Replaced::Same;
    text = std::move(out);
    return Replaced::Changed;
}

// Replace all, for the steps that cannot make the value grow much.
void replaceEvery(Text& text, std::string_view from, std::string_view to) {
    replaceWithin(text, from, to, static_cast<std::size_t>(-1));
}

// A raw value that cannot help form a reference: no marker byte, and no lead
// byte at its end that would pair with the byte after it.
bool isInert(std::string_view raw) {
    std::size_t pos = 0;
    while (pos < raw.size()) {
        char c = raw[pos];
        if (c == '&' || c == '[' || c == ']') return false;
        pos += static_cast<unsigned char>(c) >= 0x80 ? 2u : 1u;
    }
    return pos == raw.size();
}

// One reference pass in a single walk: every "&[...]" of the value that equals a
// listed item becomes that item's raw value. When all raw values are inert and no
// reference holds another, this is what replacing item after item gives; where
// that cannot be shown, it returns nothing and the pass goes item by item.
std::optional<Text> replaceReferencesAtOnce(const Text& value, const TextList& items,
                                            const TextList& raws) {
    for (const Text& raw : raws) {
        if (!isInert(raw)) return std::nullopt;
    }
    std::unordered_map<std::string_view, std::size_t> itemIndex;
    for (std::size_t i = 0; i < items.size(); ++i) itemIndex.try_emplace(items[i], i);

    constexpr std::string_view open = texts::referenceOpen;
    Text out;
    std::size_t copied = 0;
    std::size_t openAt = std::string_view::npos;
    bool nested = false;
    for (std::size_t pos = 0; pos < value.size();) {
        if (value.compare(pos, open.size(), open) == 0) {
            nested = openAt != std::string_view::npos;
            openAt = pos;
            pos += open.size();
            continue;
        }
        if (value[pos] == ']' && openAt != std::string_view::npos) {
            if (nested) return std::nullopt;
            std::size_t end = pos + 1;
            auto found = itemIndex.find(std::string_view(value).substr(openAt, end - openAt));
            if (found != itemIndex.end()) {
                const Text& raw = raws[found->second];
                // Taking out a reference could join "&" and "[" around it.
                if (raw.empty() && openAt > 0 && value[openAt - 1] == '&') return std::nullopt;
                out.append(value, copied, openAt - copied).append(raw);
                copied = end;
            }
            openAt = std::string_view::npos;
        }
        pos += static_cast<unsigned char>(value[pos]) >= 0x80 ? 2u : 1u;
    }
    out.append(value, copied);
    return out;
}

}  // namespace

LocalTime SystemClock::now() {
    // localtime hands out one shared record; the lock keeps two readers apart.
    static std::mutex lock;
    std::time_t seconds = std::time(nullptr);
    std::lock_guard<std::mutex> guard(lock);
    const std::tm* local = std::localtime(&seconds);
    if (local == nullptr) return {};
    return {local->tm_year + 1900, local->tm_mon + 1, local->tm_mday,
            local->tm_hour,        local->tm_min,     local->tm_sec};
}

// The working value's guard: counts the bytes an expansion scans, keeps the value
// from growing without end, and skips a replacement that is known to find nothing,
// so that a value listing one reference many times costs two scans, not one each.
class ConstantExpander::Budget {
public:
    explicit Budget(const ExpansionLimits& limits) : limits_(limits) {}

    bool spend(std::size_t bytes) {
        scanned_ += bytes;
        return scanned_ <= limits_.maxScannedBytes;
    }

    // Counts the changes made to the working value through replace.
    std::size_t version() const { return version_; }

    // Replaces every from by to in text (always the same working value), as
    // replaceAll does. Gives up, leaving text as it was, when the scan budget is
    // spent or text would grow past the size limit.
    bool replace(Text& text, const Text& from, std::string_view to) {
        if (from.empty()) return true;
        auto known = nothingFoundAt_.find(from);
        if (known != nothingFoundAt_.end() && known->second == version_) return true;
        if (!spend(text.size())) return false;
        switch (replaceWithin(text, from, to, limits_.maxWorkingSize)) {
            case Replaced::Nothing:
                nothingFoundAt_.insert_or_assign(from, version_);
                return true;
            case Replaced::Changed:
                ++version_;
                return true;
            case Replaced::Same:
                return true;
            case Replaced::TooLarge:
                break;
        }
        return false;
    }

    // Puts a new working value in place, within the same bounds as replace.
    bool assign(Text& text, Text replaced) {
        if (!spend(text.size())) return false;
        if (replaced.size() > limits_.maxWorkingSize && replaced.size() > text.size()) {
            return false;
        }
        if (replaced == text) return true;
        text = std::move(replaced);
        ++version_;
        return true;
    }

private:
    const ExpansionLimits& limits_;
    std::size_t scanned_ = 0;
    std::size_t version_ = 0;
    // For each text searched for: the version of the value in which it was absent.
    std::unordered_map<Text, std::size_t> nothingFoundAt_;
};

ConstantExpander::ConstantExpander(Variant variant, const RulesTable& table, Clock& clock,
                                   Reporter& reporter, ExpansionLimits limits)
    : variant_(variant), table_(table), clock_(clock), reporter_(reporter), limits_(limits) {}

Text ConstantExpander::expandConstant(const Text& key) {
    Text value;
    Outcome outcome = expand(key, value);
    if (outcome == Outcome::NotFound && variant_ != Variant::PickPaste) {
        reporter_.report(ReportKind::KeyNotFound, Text(texts::keyNotFound) + key, false);
    }
    if (outcome == Outcome::NotFound || outcome == Outcome::Unexpandable) return {};
    return value;
}

SelectionResult ConstantExpander::expandSelection(const Text& key) {
    Text value;
    switch (expand(key, value)) {
        case Outcome::Expanded:
            return {true, splitText(value, texts::itemSeparator)};
        case Outcome::DateOrTime:
            return {true, {value}};
        case Outcome::NotFound:
        case Outcome::Unexpandable:
            break;
    }
    return {};
}

Text ConstantExpander::fetchRawValue(const Text& name) {
    if (std::optional<std::size_t> index = table_.firstIndexOf(name)) {
        return table_.values()[*index];
    }
    if (variant_ == Variant::FillPrint) {
        reporter_.report(ReportKind::MissingConstant, Text(texts::missingConstant) + name, false);
    }
    return {};
}

ConstantExpander::Outcome ConstantExpander::expand(const Text& key, Text& value) {
    std::optional<LocalTime> reading;
    if (variant_ == Variant::FillPrint) reading = clock_.now();

    // The key rule: a walk over the keys decides at the first one, so only the
    // first key needs a look.
    bool keyRule =
        variant_ != Variant::FillPrint && !table_.empty() && table_.keys().front() != key;
    if (keyRule && key == texts::dateKey) {
        value = dateText(clock_.now());
        return Outcome::DateOrTime;
    }
    if (keyRule && key == texts::timeKey) {
        value = timeText(clock_.now());
        return Outcome::DateOrTime;
    }

    std::optional<std::size_t> index = table_.firstIndexOf(key);
    if (!index) return Outcome::NotFound;
    value = table_.values()[*index];

    Budget budget(limits_);
    // fillprint names every reference without a definition, but only once the
    // passes have come to an end: a value that never does would otherwise list
    // its missing names by the million before the bound stops it.
    TextList missing;
    if (!resolveReferences(key, value, budget, missing) || !applyReplacements(value, budget)) {
        reportUnexpandable(key);
        value.clear();
        return Outcome::Unexpandable;
    }
    reportMissing(missing);
    replaceEvery(value, texts::lineBreakSymbol, "\r\n");
    replaceEvery(value, texts::tabSymbol, "\t");
    replaceEvery(value, texts::emptySymbol, {});
    if (reading) {
        replaceEvery(value, texts::dateKey, dateText(*reading));
        replaceEvery(value, texts::timeKey, timeText(*reading));
    }
    return Outcome::Expanded;
}

bool ConstantExpander::resolveReferences(const Text& key, Text& value, Budget& budget,
                                         TextList& missing) {
    for (int pass = 0;; ++pass) {
        if (!budget.spend(value.size())) return false;
        TextList references = extractMarked(value, texts::referenceOpen, texts::directiveClose);
        if (references.empty()) return true;
        if (pass == limits_.maxReferencePasses) return false;

        TextList raws;
        raws.reserve(references.size());
        for (const Text& item : references) {
            Text name = innerText(item, texts::referenceOpen.size());
            if (name == key) {
                reportMissing(missing);
                Text text =
                    Text(texts::constantPrefix) + key + " " + item + Text(texts::selfReference);
                reporter_.report(ReportKind::SelfReference, text, true);
                throw ProgramEnd{};
            }
            std::optional<std::size_t> index = table_.firstIndexOf(name);
            if (!index && variant_ == Variant::FillPrint) missing.push_back(name);
            raws.push_back(index ? table_.values()[*index] : Text());
        }

        std::size_t before = budget.version();
        if (std::optional<Text> replaced = replaceReferencesAtOnce(value, references, raws)) {
            if (!budget.assign(value, std::move(*replaced))) return false;
        } else {
            for (std::size_t i = 0; i < references.size(); ++i) {
                if (!budget.replace(value, references[i], raws[i])) return false;
            }
        }
        // A pass that changed nothing would be repeated word for word forever.
        if (budget.version() == before) return false;
    }
}

bool ConstantExpander::applyReplacements(Text& value, Budget& budget) const {
    if (!budget.spend(value.size())) return false;
    // Every directive is listed before the first one is applied.
    TextList directives = extractMarked(value, texts::replacementOpen, texts::directiveClose);
    for (const Text& item : directives) {
        Text oldText;
        Text newText;
        if (!splitReplacement(item, oldText, newText)) continue;
        if (!budget.replace(value, item, {}) || !budget.replace(value, oldText, newText)) {
            return false;
        }
    }
    return true;
}

// fillrun and fillprint cut the whole directive at "+" and then drop the markers;
// pickpaste drops the markers first. The two differ where the new text is empty.
bool ConstantExpander::splitReplacement(const Text& item, Text& oldText, Text& newText) const {
    const std::size_t openLength = texts::replacementOpen.size();
    if (variant_ == Variant::PickPaste) {
        TextList pieces = splitText(innerText(item, openLength), texts::directivePlus);
        if (pieces.size() != 2) return false;
        oldText = std::move(pieces[0]);
        newText = std::move(pieces[1]);
        return true;
    }
    TextList pieces = splitText(item, texts::directivePlus);
    if (pieces.size() != 2) return false;
    oldText = pieces[0].substr(openLength);
    newText = pieces[1].substr(0, pieces[1].size() - texts::directiveClose.size());
    return true;
}

void ConstantExpander::reportMissing(const TextList& missing) {
    for (const Text& name : missing) {
        reporter_.report(ReportKind::MissingConstant, Text(texts::missingConstant) + name, false);
    }
}

void ConstantExpander::reportUnexpandable(const Text& key) {
    bool ends = variant_ != Variant::PickPaste;
    Text text = Text(texts::constantPrefix) + key + Text(texts::unexpandableReference);
    reporter_.report(ReportKind::Unexpandable, text, ends);
    if (ends) throw ProgramEnd{};
}

}  // namespace rulecore
