#include "rulecore/run/status_sink.h"

#include "rulecore/platform/os.h"
#include "rulecore/texts/system_texts.h"

namespace rulecore::run {

std::string_view statusLabelText(RunMoment moment) {
    switch (moment) {
        case RunMoment::Start: return texts::statusLoading;
        case RunMoment::Printing: return texts::statusPrinting;
        case RunMoment::Finished: return texts::statusFinished;
        case RunMoment::Closed: break;
    }
    return {};
}

std::optional<std::string_view> consoleText(RunMoment moment) {
    // Spelled out whole so each line leaves in one write.
    static const Text printing = Text(texts::consolePrinting) + "\r\n";
    static const Text finished = Text(texts::statusFinished) + "\r\n";
    switch (moment) {
        case RunMoment::Printing: return printing;
        case RunMoment::Finished: return finished;
        case RunMoment::Start:
        case RunMoment::Closed: break;
    }
    return std::nullopt;
}

void ConsoleStatusSink::tell(RunMoment moment) {
    if (auto line = consoleText(moment)) os::writeStdout(os::toConsole(*line));
}

}  // namespace rulecore::run
