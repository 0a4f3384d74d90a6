#include "rulecore/platform/os.h"
#include "rulecore/rules/parse.h"
#include "rulecore/texts/system_texts.h"

namespace rulecore {

void loadRulesFile(const Text& runDirectory, const Text& name, RulesState& state,
                   Reporter& reporter) {
    // The name is joined as typed, even when it is an absolute path.
    Text path = os::joinPath(runDirectory, name);
    state.table.clear();
    state.late.clear();
    if (!os::fileExists(path)) {
        reporter.report(ReportKind::MissingRulesFile, name + Text(texts::fileMissing), true);
        throw ProgramEnd{};
    }
    parseRules(os::readTextFile(path), state);
}

void loadConstantsFile(const Text& runDirectory, RulesTable& table) {
    Text path = os::joinPath(runDirectory, Text(texts::constantsFileName));
    table.clear();
    if (os::fileExists(path)) {
        parseDefinitions(os::readTextFile(path), table);
        return;
    }
    // The new file is the users' reference card; it defines nothing, and a file
    // that cannot be written is not worth a message.
    os::writeTextFile(path, defaultConstantsContent());
}

}  // namespace rulecore
