#include "rulecore/rules/parse.h"

#include <iterator>

#include "rulecore/rules/extract.h"
#include "rulecore/texts/system_texts.h"

namespace rulecore {
namespace {

constexpr std::string_view lineBreak = "\r\n";

// Takes the late groups out of the text into late; returns what is left.
Text takeLateGroups(std::string_view text, LatePairs& late) {
    Text rest(text);
    const std::size_t markerLength = texts::lateGroupOpen.size();
    for (const Text& group : extractMarked(text, texts::lateGroupOpen, texts::directiveClose)) {
        TextList pieces = splitText(group, texts::directivePlus);
        if (pieces.size() != 2) continue;
        rest = replaceAll(rest, group, {});
        late.targets.push_back(pieces[0].substr(markerLength));
        late.texts.push_back(pieces[1].substr(0, pieces[1].size() - 1));
    }
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
