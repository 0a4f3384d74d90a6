#include "rulecore/rules/parse.h"

#include <iterator>
#include <string_view>
#include <unordered_set>

#include "rulecore/rules/extract.h"
#include "rulecore/texts/system_texts.h"

namespace rulecore {
namespace {

constexpr std::string_view lineBreak = "\r\n";

// Removes in one walk every occurrence of the groups, with the same result as
// removing them group by group. That holds unless groups nest or a removal could
// join the text around it into a new "last["; then it returns false.
bool removeGroupsAtOnce(std::string_view text, const std::unordered_set<std::string_view>& groups,
                        Text& rest) {
    constexpr std::string_view open = texts::lateGroupOpen;
    constexpr std::string_view openPrefixBytes = "last";
    rest.clear();
    std::size_t copied = 0;
    std::size_t openAt = std::string_view::npos;
    bool nested = false;
    for (std::size_t pos = 0; pos < text.size();) {
        if (text.compare(pos, open.size(), open) == 0) {
            nested = openAt != std::string_view::npos;
            openAt = pos;
            pos += open.size();
            continue;
        }
        if (text[pos] == ']' && openAt != std::string_view::npos) {
            if (nested) return false;
            std::size_t end = pos + 1;
            if (groups.count(text.substr(openAt, end - openAt)) != 0) {
                if (openAt > 0 &&
                    openPrefixBytes.find(text[openAt - 1]) != std::string_view::npos) {
                    return false;
                }
                rest.append(text, copied, openAt - copied);
                copied = end;
            }
            openAt = std::string_view::npos;
        }
        pos += charLength(text, pos);
    }
    rest.append(text, copied);
    return true;
}

// Takes the late groups out of the text into late; returns what is left.
Text takeLateGroups(std::string_view text, LatePairs& late) {
    const std::size_t markerLength = texts::lateGroupOpen.size();
    TextList removed;
    for (const Text& group : extractMarked(text, texts::lateGroupOpen, texts::directiveClose)) {
        TextList pieces = splitText(group, texts::directivePlus);
        if (pieces.size() != 2) continue;
        late.targets.push_back(pieces[0].substr(markerLength));
        late.texts.push_back(pieces[1].substr(0, pieces[1].size() - 1));
        removed.push_back(group);
    }
    if (removed.empty()) return Text(text);
    // Group by group, each removal scans the whole text again: fine for a few
    // groups, far too slow for a line of thousands.
    std::unordered_set<std::string_view> groups(removed.begin(), removed.end());
    Text rest;
    if (removeGroupsAtOnce(text, groups, rest)) return rest;
    rest = Text(text);
    for (const Text& group : removed) rest = replaceAll(rest, group, {});
    return rest;
}

}  // namespace

void parseRules(std::string_view text, RulesState& state) {
    state.table.clear();
    state.late.clear();
    Text definitions = takeLateGroups(text, state.late);
    parseDefinitions(definitions, state.table);
}

void parseDefinitions(std::string_view text, RulesTable& table) {
    for (const Text& line : splitText(text, lineBreak)) {
        if (!line.empty() && line.front() == '\'') continue;
        TextList pieces = splitText(line, texts::definitionSeparator);
        if (pieces.size() != 2) continue;
        table.append(std::move(pieces[0]), std::move(pieces[1]));
    }
}

Text defaultConstantsContent() {
    const std::string_view lines[] = {
        texts::cardLine01, texts::cardLine02, texts::cardLine03, texts::cardLine04,
        texts::cardLine05, texts::cardLine06, texts::cardLine07, texts::cardLine08,
        texts::cardLine09, texts::cardLine10, texts::cardLine11, texts::cardLine12,
        texts::cardLine13, texts::cardLine14, texts::cardLine15, texts::cardLine16,
        texts::cardLine17, texts::cardLine18, texts::cardLine19,
    };
    Text content;
    for (std::size_t i = 0; i < std::size(lines); ++i) {
        if (i > 0) content.append(lineBreak);
        content.append(lines[i]);
    }
    return content;
}

}  // namespace rulecore
