#include "fillrun/fillrun_app.h"

#include <array>
#include <cstddef>
#include <memory>
#include <string_view>
#include <utility>

#include "fillrun/command_line.h"
#include "rulecore/platform/os.h"
#include "rulecore/rules/parse.h"
#include "rulecore/run/status_sink.h"
#include "rulecore/texts/system_texts.h"
#include "rulecore/word/platform_dispatcher.h"

namespace fillrun {
namespace {

using rulecore::Text;

constexpr std::string_view lineEnd = "\r\n";

struct Command {
    std::string_view name;
    std::size_t argumentCount;  // switch included
    bool save;
    bool print;
};

constexpr std::array<Command, 3> commands{{
    {"-A", 4, true, true},
    {"-B", 4, true, false},
    {"-P", 3, false, true},
}};

const Command* findCommand(std::string_view argument) {
    const Text upper = upperAscii(argument);
    for (const Command& command : commands) {
        if (upper == command.name) return &command;
    }
    return nullptr;
}

void writeLine(std::string_view label, const Text& argument) {
    Text line;
    line.reserve(label.size() + argument.size() + lineEnd.size());
    line.append(label).append(argument).append(lineEnd);
    writeMessage(line);
}

}  // namespace

void writeMessage(const Text& message) { rulecore::os::writeStdout(rulecore::os::toConsole(message)); }

void ConsoleReporter::report(rulecore::ReportKind, const Text& text, bool) {
    Text line = text;
    line.append(lineEnd);
    writeMessage(line);
}

FillRunApp::FillRunApp(Text runDirectory)
    : runDirectory_(std::move(runDirectory)),
      expander_(rulecore::Variant::FillRun, rules_.table, clock_, reporter_) {
    // Paths are joined to the run directory anyway; Word's own relative lookups
    // (and any file dialog) then start there too.
    rulecore::os::setWorkingDirectory(runDirectory_);
}

void FillRunApp::run(const rulecore::TextList& arguments) {
    if (arguments.empty()) return;
    const Command* command = findCommand(arguments[0]);
    if (!command) return;
    if (arguments.size() != command->argumentCount) {
        writeMessage(Text(rulecore::texts::argumentError));
        return;
    }

    writeLine(rulecore::texts::echoRules, arguments[1]);
    writeLine(rulecore::texts::echoTemplate, arguments[2]);
    if (command->save) writeLine(rulecore::texts::echoOutput, arguments[3]);

    rulecore::loadRulesFile(runDirectory_, arguments[1], rules_, reporter_);

    std::unique_ptr<rulecore::word::AutomationDispatcher> dispatcher =
        rulecore::word::makePlatformDispatcher();
    rulecore::run::DocumentRun documentRun(*dispatcher, rules_, expander_, sleeper_, runDirectory_,
                                           rulecore::run::FrontEnd::FillRun);
    rulecore::run::RunRequest request;
    request.templateName = arguments[2];
    if (command->save) request.outputName = arguments[3];
    request.save = command->save;
    request.print = command->print;
    rulecore::run::ConsoleStatusSink sink;
    documentRun.run(request, sink);
}

}  // namespace fillrun
