#include "rulecheck/lint.h"

#include <algorithm>
#include <set>
#include <unordered_map>

#include "rulecheck/format.h"
#include "rulecore/platform/os.h"
#include "rulecore/texts/system_texts.h"

namespace rulecheck {

using rulecore::Text;
using rulecore::TextList;
using rulecore::Variant;
namespace texts = rulecore::texts;

namespace {

struct Line {
    std::size_t number;
    std::string_view text;
};

// CR LF lines as the parser cuts them: no empty line after a final CR LF.
std::vector<Line> splitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back({lines.size() + 1, text.substr(start, end - start)});
        start = end + 2;
    }
    return lines;
}

// Offsets where each CR LF line starts, to turn an offset into a line number.
std::vector<std::size_t> lineStarts(std::string_view text) {
    std::vector<std::size_t> starts{0};
    for (std::size_t pos = text.find("\r\n"); pos != std::string_view::npos;
         pos = text.find("\r\n", pos + 2)) {
        starts.push_back(pos + 2);
    }
    return starts;
}

bool sameLetterCase(char a, char b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(a) == lower(b);
}

std::size_t findCaseless(std::string_view text, std::string_view what, std::size_t from) {
    for (std::size_t pos = from; pos + what.size() <= text.size();
         pos += rulecore::charLength(text, pos)) {
        if (std::equal(what.begin(), what.end(), text.begin() + static_cast<std::ptrdiff_t>(pos),
                       sameLetterCase)) {
            return pos;
        }
    }
    return std::string_view::npos;
}

// A marked span as the scanner lists it (markers as passed, span trimmed) next to
// where it stands in the text as written.
struct Span {
    std::size_t begin;
    Text written;
    Text item;
};

// The same walk as the scanner with the settings every caller uses, keeping the
// written form, which the scanner does not return.
std::vector<Span> findSpans(std::string_view text, std::string_view open, std::string_view close) {
    std::vector<Span> spans;
    std::size_t pos = 0;
    for (;;) {
        std::size_t first = findCaseless(text, open, pos);
        if (first == std::string_view::npos) break;
        std::size_t afterOpen = first + open.size();
        std::size_t closeAt = findCaseless(text, close, afterOpen);
        if (closeAt == std::string_view::npos) break;
        Text trimmed = rulecore::trimSpaces(text.substr(afterOpen, closeAt - afterOpen));
        pos = afterOpen;
        if (trimmed.empty()) continue;
        spans.push_back({first, Text(text.substr(first, closeAt + close.size() - first)),
                         Text(open) + trimmed + Text(close)});
        pos = closeAt;
    }
    return spans;
}

Text inside(const Span& span, std::size_t openLength) {
    return span.item.substr(openLength, span.item.size() - openLength - 1);
}

Text quoted(std::string_view text) {
    Text out = "\"";
    out += escapeControls(text);
    out += '"';
    return out;
}

struct Definition {
    std::size_t line;
    Text key;
    Text value;
};

class Linter {
public:
    Linter(std::string_view text, Variant variant)
        : text_(text), variant_(variant), lineStarts_(lineStarts(text)) {}

    std::vector<Lint> run() {
        lintEncoding();
        TextList removedGroups;
        if (variant_ != Variant::PickPaste) removedGroups = lintLateGroups();
        for (const Line& line : splitLines(text_)) readLine(line, removedGroups);
        for (const Definition& definition : definitions_) lintValue(definition);
        std::stable_sort(lints_.begin(), lints_.end(),
                         [](const Lint& a, const Lint& b) { return a.line < b.line; });
        return std::move(lints_);
    }

private:
    void warn(std::size_t line, Text message) { lints_.push_back({line, std::move(message)}); }

    std::size_t lineOf(std::size_t offset) const {
        auto after = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
        return static_cast<std::size_t>(after - lineStarts_.begin());
    }

    void lintEncoding() {
        std::size_t firstWide = std::string_view::npos;
        for (std::size_t pos = 0; pos < text_.size();) {
            auto byte = static_cast<unsigned char>(text_[pos]);
            std::size_t length = byte < 0x80 ? 1 : byte >= 0xC2 && byte <= 0xDF ? 2
                               : byte >= 0xE0 && byte <= 0xEF                   ? 3
                               : byte >= 0xF0 && byte <= 0xF4                   ? 4
                                                                                : 0;
            if (length == 0 || pos + length > text_.size()) return;
            for (std::size_t i = 1; i < length; ++i) {
                if ((static_cast<unsigned char>(text_[pos + i]) & 0xC0) != 0x80) return;
            }
            auto second = static_cast<unsigned char>(length > 1 ? text_[pos + 1] : 0);
            if ((byte == 0xE0 && second < 0xA0) || (byte == 0xED && second >= 0xA0) ||
                (byte == 0xF0 && second < 0x90) || (byte == 0xF4 && second >= 0x90)) {
                return;
            }
            // Two-byte UTF-8 forms are also common code page 936 pairs; only the
            // longer forms, which Chinese text in UTF-8 is made of, tell them apart.
            if (length >= 3 && firstWide == std::string_view::npos) firstWide = pos;
            pos += length;
        }
        if (firstWide != std::string_view::npos) {
            warn(lineOf(firstWide),
                 "the file looks like UTF-8; the programs read code page 936, so its "
                 "Chinese texts would not match");
        }
    }

    // Returns the groups that the loader takes out of the text.
    TextList lintLateGroups() {
        TextList removed;
        for (const Span& group : findSpans(text_, texts::lateGroupOpen, texts::directiveClose)) {
            std::size_t line = lineOf(group.begin);
            if (rulecore::splitText(group.item, texts::directivePlus).size() != 2) {
                warn(line, "late group " + quoted(group.written) +
                               " does not have exactly one \"+\": no pair is read and it "
                               "stays in the text");
                continue;
            }
            if (group.written == group.item) {
                removed.push_back(group.item);
                if (group.written.find("\r\n") != Text::npos) {
                    warn(line, "late group " + quoted(group.written) +
                                   " runs over a line break; taking it out joins the lines");
                }
            } else if (group.written.compare(0, 5, texts::lateGroupOpen) != 0) {
                warn(line, "late group " + quoted(group.written) +
                               " is read, but stays in the text: only \"last[\" in lower "
                               "case is taken out");
            } else {
                warn(line, "late group " + quoted(group.written) +
                               " is read, but stays in the text because of the spaces "
                               "inside its brackets");
            }
        }
        return removed;
    }

    void readLine(const Line& line, const TextList& removedGroups) {
        if (std::size_t lf = static_cast<std::size_t>(
                std::count(line.text.begin(), line.text.end(), '\n'));
            lf > 0) {
            warn(line.number, std::to_string(lf) +
                                  " line break(s) here are LF only; the programs need CR LF "
                                  "and read all of it as one line");
        }
        Text text(line.text);
        for (const Text& group : removedGroups) text = rulecore::replaceAll(text, group, "");
        if (text.empty() || text.front() == '\'') return;
        TextList pieces = rulecore::splitText(text, texts::definitionSeparator);
        if (pieces.size() != 2) {
            warn(line.number,
                 text.find(texts::definitionSeparator) == Text::npos
                     ? Text("neither a comment, an empty line nor a definition; ignored")
                     : Text("does not split at \"==\" into one key and one value; ignored"));
            return;
        }
        addDefinition({line.number, std::move(pieces[0]), std::move(pieces[1])});
    }

    void addDefinition(Definition definition) {
        auto [first, isNew] = firstLine_.try_emplace(definition.key, definition.line);
        if (!isNew) {
            warn(definition.line, "key " + quoted(definition.key) +
                                      " is defined again (first on line " +
                                      std::to_string(first->second) +
                                      "); this definition is never used");
        } else if (variant_ != Variant::PickPaste) {
            lintContainedKey(definition);
        }
        if (isNew && !definition.key.empty()) keyLengths_.insert(definition.key.size());
        definitions_.push_back(std::move(definition));
    }

    // The document run replaces the keys in table order, so an earlier key inside a
    // later one takes the later key's place in the document first. Substrings are
    // looked up by the lengths the earlier keys have, not by a walk over them.
    void lintContainedKey(const Definition& definition) {
        const Text& key = definition.key;
        for (std::size_t length : keyLengths_) {
            if (length >= key.size()) break;
            for (std::size_t pos = 0; pos + length <= key.size();
                 pos += rulecore::charLength(key, pos)) {
                auto earlier = firstLine_.find(key.substr(pos, length));
                if (earlier == firstLine_.end() || earlier->first == key) continue;
                warn(definition.line, "key " + quoted(key) + " contains the earlier key " +
                                          quoted(earlier->first) + " (line " +
                                          std::to_string(earlier->second) +
                                          "), which is replaced first: this key is never "
                                          "found in a document");
                return;
            }
        }
    }

    void lintValue(const Definition& definition) {
        for (const Span& reference :
             findSpans(definition.value, texts::referenceOpen, texts::directiveClose)) {
            if (reference.written != reference.item) {
                warn(definition.line, "reference " + quoted(reference.written) +
                                          " has spaces inside its brackets: it is never "
                                          "replaced and the value cannot be expanded");
            } else if (!firstLine_.contains(inside(reference, 2))) {
                warn(definition.line, "reference " + quoted(reference.written) +
                                          " names no constant; it is replaced by nothing");
            }
        }
        for (const Span& directive :
             findSpans(definition.value, texts::replacementOpen, texts::directiveClose)) {
            if (!splitsInTwo(directive)) {
                warn(definition.line,
                     "replacement " + quoted(directive.written) +
                         " does not split into an old and a new text; it stays in the text");
            } else if (directive.written != directive.item) {
                warn(definition.line, "replacement " + quoted(directive.written) +
                                          " stays in the text because of the spaces inside "
                                          "its brackets (its old text is still replaced)");
            }
        }
    }

    bool splitsInTwo(const Span& directive) const {
        if (variant_ == Variant::PickPaste) {
            return rulecore::splitText(inside(directive, 2), texts::directivePlus).size() == 2;
        }
        return rulecore::splitText(directive.item, texts::directivePlus).size() == 2;
    }

    std::string_view text_;
    Variant variant_;
    std::vector<std::size_t> lineStarts_;
    std::vector<Lint> lints_;
    std::vector<Definition> definitions_;
    std::unordered_map<Text, std::size_t> firstLine_;
    std::set<std::size_t> keyLengths_;
};

}  // namespace

std::vector<Lint> lintRules(std::string_view text, Variant variant) {
    return Linter(text, variant).run();
}

std::string lintLine(std::string_view fileName, const Lint& lint) {
    return std::string(fileName) + ":" + std::to_string(lint.line) +
           ": warning: " + rulecore::os::toConsole(lint.message) + "\n";
}

}  // namespace rulecheck
