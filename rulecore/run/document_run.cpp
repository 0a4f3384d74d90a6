#include "rulecore/run/document_run.h"

#include <utility>

#include "rulecore/platform/os.h"
#include "rulecore/word/word_session.h"

namespace rulecore::run {

void SystemSleeper::sleep(unsigned milliseconds) { os::sleepMilliseconds(milliseconds); }

DocumentRun::DocumentRun(word::AutomationDispatcher& dispatcher, const RulesState& rules,
                         ConstantExpander& expander, Sleeper& sleeper, Text runDirectory,
                         FrontEnd frontEnd)
    : dispatcher_(dispatcher),
      rules_(rules),
      expander_(expander),
      sleeper_(sleeper),
      runDirectory_(std::move(runDirectory)),
      frontEnd_(frontEnd) {}

void DocumentRun::run(const RunRequest& request, StatusSink& sink) {
    word::WordSession session(dispatcher_);
    sink.tell(RunMoment::Start);
    session.startWord();
    // Word runs invisible: a dialog it raised would wait forever for a click.
    session.setDisplayAlerts(0);
    session.openDocument(os::joinPath(runDirectory_, request.templateName));

    try {
        keyPass(session);
        latePass(session);
        keyPass(session);
    } catch (...) {
        // The program ends here; an invisible Word left running would keep the
        // template open.
        requestQuit(session);
        throw;
    }

    if (request.save) session.saveAs(os::joinPath(runDirectory_, request.outputName));
    if (request.print) {
        sink.tell(RunMoment::Printing);
        session.printOut();
    }
    sleeper_.sleep(fixedWaitMilliseconds);
    if (request.print) waitForPrinting(session);
    sink.tell(RunMoment::Finished);
    requestQuit(session);
    sink.tell(RunMoment::Closed);
}

void DocumentRun::keyPass(word::WordSession& session) {
    const TextList& keys = rules_.table.keys();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        Text value = expander_.expandConstant(keys[i]);
        session.replaceText(keys[i], value, 0, false);
    }
}

void DocumentRun::latePass(word::WordSession& session) {
    for (std::size_t i = 0; i < rules_.late.size(); ++i) {
        session.replaceText(rules_.late.targets[i], rules_.late.texts[i], 0, false);
    }
}

// Quitting while Word still spools in the background would cancel the print.
void DocumentRun::waitForPrinting(word::WordSession& session) {
    for (unsigned waited = 0;
         waited < printPollLimitMilliseconds && session.backgroundPrintingStatus() > 0;
         waited += printPollMilliseconds) {
        sleeper_.sleep(printPollMilliseconds);
    }
}

void DocumentRun::requestQuit(word::WordSession& session) {
    const int requests = frontEnd_ == FrontEnd::FillPrint ? 3 : 1;
    for (int i = 0; i < requests; ++i) session.quitWord();
}

}  // namespace rulecore::run
