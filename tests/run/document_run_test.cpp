#include "rulecore/run/document_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "rulecore/platform/os.h"
#include "rulecore/rules/parse.h"
#include "tests/support/cp936.h"
#include "tests/support/recording_dispatcher.h"

namespace {

using rulecore::ReportKind;
using rulecore::Text;
using rulecore::run::DocumentRun;
using rulecore::run::FrontEnd;
using rulecore::run::RunMoment;
using rulecore::run::RunRequest;
using rulecore::test::cp;
using rulecore::test::RecordingDispatcher;
using rulecore::word::Access;
using rulecore::word::ValueKind;

// One log for Word calls, sink moments and waits, in the order they happened.
class EventLog {
public:
    explicit EventLog(const RecordingDispatcher& word) : word_(word) {}

    void note(const std::string& event) {
        sync();
        events_.push_back(event);
    }
    const std::vector<std::string>& events() {
        sync();
        return events_;
    }
    long count(const std::string& event) {
        const auto& all = events();
        return std::count(all.begin(), all.end(), event);
    }

private:
    // Keeps the calls a run is made of; the plumbing of each replace is left out.
    void sync() {
        const auto& calls = word_.calls();
        for (; seen_ < calls.size(); ++seen_) {
            const auto& call = calls[seen_];
            const auto firstText = [&] {
                return call.arguments.empty() ? std::string("<none>")
                                              : rulecore::test::utf8(call.arguments.front().text);
            };
            if (call.creation) {
                events_.push_back("create " + call.member);
            } else if (call.member == "DisplayAlerts" && call.access == Access::Write) {
                const auto& value = call.arguments.front();
                events_.push_back(value.kind == ValueKind::Integer
                                      ? "DisplayAlerts := " + std::to_string(value.integer)
                                      : "DisplayAlerts := <not an integer>");
            } else if (call.member == "Text" && call.access == Access::Write) {
                events_.push_back("Text := " + firstText());
            } else if (call.member == "Open" || call.member == "SaveAs" ||
                       call.member == "Execute") {
                events_.push_back(call.member + " " + firstText());
            } else if (call.member == "PrintOut" || call.member == "Quit" ||
                       call.member == "BackgroundPrintingStatus") {
                events_.push_back(call.member);
            }
        }
    }

    const RecordingDispatcher& word_;
    std::vector<std::string> events_;
    std::size_t seen_ = 0;
};

class LoggingSink final : public rulecore::run::StatusSink {
public:
    explicit LoggingSink(EventLog& log) : log_(log) {}
    void tell(RunMoment moment) override {
        static const char* const names[] = {"<start>", "<printing>", "<finished>", "<closed>"};
        log_.note(names[static_cast<int>(moment)]);
    }

private:
    EventLog& log_;
};

class LoggingSleeper final : public rulecore::run::Sleeper {
public:
    explicit LoggingSleeper(EventLog& log) : log_(log) {}
    void sleep(unsigned milliseconds) override { log_.note("sleep " + std::to_string(milliseconds)); }

private:
    EventLog& log_;
};

class CollectingReporter final : public rulecore::Reporter {
public:
    void report(ReportKind kind, const Text&, bool) override { kinds.push_back(kind); }
    std::vector<ReportKind> kinds;
};

// 9:05:07 and one second more at every reading, so each expansion is told apart.
class TickingClock final : public rulecore::Clock {
public:
    rulecore::LocalTime now() override { return {2018, 5, 3, 9, 5, 7 + readings_++}; }

private:
    int readings_ = 0;
};

struct RunSetup {
    explicit RunSetup(const std::string& rules, rulecore::Variant variant = rulecore::Variant::FillRun)
        : expander(variant, state.table, clock, reporter) {
        rulecore::parseRules(rules, state);
    }

    void run(const RunRequest& request, FrontEnd frontEnd) {
        DocumentRun documentRun(word, state, expander, sleeper, "RUN", frontEnd);
        documentRun.run(request, sink);
    }

    RecordingDispatcher word;
    EventLog log{word};
    LoggingSink sink{log};
    LoggingSleeper sleeper{log};
    CollectingReporter reporter;
    TickingClock clock;
    rulecore::RulesState state;
    rulecore::ConstantExpander expander;
};

std::string text(std::u8string_view utf8) { return std::string(utf8.begin(), utf8.end()); }

std::string path(const std::string& name) { return rulecore::os::joinPath("RUN", name); }

RunRequest request(const std::string& templ, const std::string& output, bool save, bool print) {
    return RunRequest{templ, output, save, print};
}

void expectCleanEnd(const RecordingDispatcher& word) {
    EXPECT_EQ(word.threadsBegun(), 1);
    EXPECT_EQ(word.threadsEnded(), 1);
    EXPECT_TRUE(word.liveObjects().empty());
    EXPECT_TRUE(word.faults().empty());
}

TEST(DocumentRun, MakesItsStepsInOrder) {
    // A later key inside a value, a late group, and the time key, which fillrun
    // computes afresh in each key pass.
    RunSetup setup(cp(u8"K1==v1&[K2]\r\nK2==v2\r\n##时间##==ignored\r\nlast[v2+K1]"));
    setup.run(request("t.doc", "o.doc", true, true), FrontEnd::FillRun);

    const std::vector<std::string> expected = {
        "<start>",
        "create WORD.Application",
        "DisplayAlerts := 0",
        "Open " + path("t.doc"),
        "Text := v1v2", "Execute K1",
        "Text := v2", "Execute K2",
        text(u8"Text := 9时5分7秒"), text(u8"Execute ##时间##"),
        "Text := K1", "Execute v2",
        "Text := v1v2", "Execute K1",
        "Text := v2", "Execute K2",
        text(u8"Text := 9时5分8秒"), text(u8"Execute ##时间##"),
        "SaveAs " + path("o.doc"),
        "<printing>",
        "PrintOut",
        "sleep 5000",
        "BackgroundPrintingStatus",
        "<finished>",
        "Quit",
        "<closed>",
    };
    EXPECT_EQ(setup.log.events(), expected);
    expectCleanEnd(setup.word);
}

struct ModeCase {
    const char* name;
    FrontEnd frontEnd;
    RunRequest request;
    std::vector<std::string> tail;  // everything after the second key pass
};

TEST(DocumentRun, SavesPrintsAndQuitsAsEachFrontEndAsks) {
    const std::vector<ModeCase> cases = {
        {"fillrun -B", FrontEnd::FillRun, request("t.doc", "o.doc", true, false),
         {"SaveAs " + path("o.doc"), "sleep 5000", "<finished>", "Quit", "<closed>"}},
        {"fillrun -P", FrontEnd::FillRun, request("t.doc", "", false, true),
         {"<printing>", "PrintOut", "sleep 5000", "BackgroundPrintingStatus", "<finished>", "Quit",
          "<closed>"}},
        {"fillprint print and save", FrontEnd::FillPrint, request("t.doc", "o.doc", true, true),
         {"SaveAs " + path("o.doc"), "<printing>", "PrintOut", "sleep 5000", "BackgroundPrintingStatus",
          "<finished>", "Quit", "Quit", "Quit", "<closed>"}},
        {"fillprint save only", FrontEnd::FillPrint, request("t.doc", "o.doc", true, false),
         {"SaveAs " + path("o.doc"), "sleep 5000", "<finished>", "Quit", "Quit", "Quit", "<closed>"}},
    };
    for (const ModeCase& c : cases) {
        RunSetup setup("K==V\r\n");
        setup.run(c.request, c.frontEnd);
        const auto& events = setup.log.events();
        auto lastReplace = std::find(events.rbegin(), events.rend(), "Execute K");
        ASSERT_NE(lastReplace, events.rend()) << c.name;
        EXPECT_EQ(std::vector<std::string>(lastReplace.base(), events.end()), c.tail) << c.name;
        EXPECT_EQ(setup.log.count("Execute K"), 2) << c.name;
        expectCleanEnd(setup.word);
    }
}

TEST(DocumentRun, EmptyTableOpensAndSavesUnchanged) {
    RunSetup setup("' only a comment\r\n");
    setup.run(request("t.doc", "o.doc", true, true), FrontEnd::FillRun);
    const std::vector<std::string> expected = {
        "<start>", "create WORD.Application", "DisplayAlerts := 0", "Open " + path("t.doc"),
        "SaveAs " + path("o.doc"), "<printing>", "PrintOut", "sleep 5000", "BackgroundPrintingStatus",
        "<finished>", "Quit", "<closed>"};
    EXPECT_EQ(setup.log.events(), expected);
}

// Whatever Word refuses, the run goes on, waits, finishes and quits as usual.
TEST(DocumentRun, CarriesOnWhenWordFails) {
    struct FailureCase {
        const char* name;
        void (*arrange)(RecordingDispatcher&);
    };
    const FailureCase cases[] = {
        {"template missing",
         [](RecordingDispatcher& word) {
             word.fail("Open");
             word.fail("ActiveDocument");
         }},
        {"Word not installed", [](RecordingDispatcher& word) { word.failCreation(); }},
        {"save and print refused",
         [](RecordingDispatcher& word) {
             word.fail("SaveAs");
             word.fail("PrintOut");
         }},
    };
    for (const FailureCase& c : cases) {
        RunSetup setup("K==V\r\n");
        c.arrange(setup.word);
        setup.run(request("t.doc", "o.doc", true, true), FrontEnd::FillRun);
        auto& log = setup.log;
        for (const char* moment : {"<start>", "<printing>", "<finished>", "<closed>"}) {
            EXPECT_EQ(log.count(moment), 1) << c.name << ' ' << moment;
        }
        EXPECT_EQ(log.count("sleep 5000"), 1) << c.name;
        EXPECT_EQ(log.count("Quit"), 1) << c.name;
        EXPECT_EQ(log.events().back(), "<closed>") << c.name;
        expectCleanEnd(setup.word);
    }
}

// Word's Find takes at most 255 characters; longer values go into the found ranges.
TEST(DocumentRun, LongValuesReachTheDocumentWhole) {
    const std::string longValue(300, 'x');
    std::u8string wide;
    for (int i = 0; i < 255; ++i) wide += u8"甲";  // 255 characters, 510 bytes
    RunSetup setup("L==" + longValue + "\r\nW==" + cp(wide) + "\r\n");
    setup.word.answer("Execute", {rulecore::test::booleanValue(true)});
    setup.run(request("t.doc", "o.doc", true, false), FrontEnd::FillRun);

    int longWrites = 0, wideWrites = 0;
    for (const auto& call : setup.word.calls()) {
        if (call.member != "Text" || call.access != Access::Write) continue;
        const Text& written = call.arguments.front().text;
        if (written == longValue) {
            ++longWrites;
            EXPECT_EQ(call.target.find("Replacement"), std::string::npos) << call.line();
        }
        if (written == cp(wide)) {
            ++wideWrites;
            EXPECT_NE(call.target.find("Replacement"), std::string::npos) << call.line();
        }
    }
    EXPECT_EQ(longWrites, 2);  // once in each key pass
    EXPECT_EQ(wideWrites, 2);
    EXPECT_EQ(setup.log.count("SaveAs " + path("o.doc")), 1);
}

// A rules error that ends the program: Word is asked to quit first, nothing is
// saved or printed, and the sink hears nothing after the start.
TEST(DocumentRun, EarlyEndQuitsWordAndSavesNothing) {
    struct EarlyCase {
        const char* name;
        FrontEnd frontEnd;
        long quits;
    };
    for (const EarlyCase& c : {EarlyCase{"fillrun", FrontEnd::FillRun, 1},
                               EarlyCase{"fillprint", FrontEnd::FillPrint, 3}}) {
        RunSetup setup("K==V\r\nA==x&[A]\r\n");
        EXPECT_THROW(setup.run(request("t.doc", "o.doc", true, true), c.frontEnd),
                     rulecore::ProgramEnd)
            << c.name;
        const std::vector<std::string> expected = [&] {
            std::vector<std::string> e = {"<start>", "create WORD.Application", "DisplayAlerts := 0",
                                          "Open " + path("t.doc"), "Text := V", "Execute K"};
            for (long i = 0; i < c.quits; ++i) e.push_back("Quit");
            return e;
        }();
        EXPECT_EQ(setup.log.events(), expected) << c.name;
        EXPECT_EQ(setup.reporter.kinds, std::vector<ReportKind>{ReportKind::SelfReference}) << c.name;
        expectCleanEnd(setup.word);
    }
}

TEST(DocumentRun, ReportsOfAnExpansionComeOncePerKeyPass) {
    RunSetup setup("K==a&[nowhere]b\r\n", rulecore::Variant::FillPrint);
    setup.run(request("t.doc", "", false, true), FrontEnd::FillPrint);
    EXPECT_EQ(setup.reporter.kinds,
              (std::vector<ReportKind>{ReportKind::MissingConstant, ReportKind::MissingConstant}));
}

// After the fixed wait the run lets Word's background printing finish, checking
// every half second for at most a minute.
TEST(DocumentRun, WaitsForBackgroundPrintingBeforeQuitting) {
    struct PrintCase {
        const char* name;
        std::vector<double> statuses;
        long polls;
    };
    const PrintCase cases[] = {
        {"idle at once", {0}, 0},
        {"two more jobs", {2, 1, 0}, 2},
        {"never idle", {1}, 120},
        {"status unreadable", {}, 0},
    };
    for (const PrintCase& c : cases) {
        RunSetup setup("K==V\r\n");
        if (c.statuses.empty()) {
            setup.word.fail("BackgroundPrintingStatus");
        } else {
            std::vector<rulecore::word::AutomationValue> values;
            for (double s : c.statuses) values.push_back(rulecore::test::numberValue(s));
            setup.word.answer("BackgroundPrintingStatus", values);
        }
        setup.run(request("t.doc", "", false, true), FrontEnd::FillRun);
        auto& log = setup.log;
        EXPECT_EQ(log.count("sleep 5000"), 1) << c.name;
        EXPECT_EQ(log.count("sleep 500"), c.polls) << c.name;
        const auto& events = log.events();
        const auto finished = std::find(events.begin(), events.end(), "<finished>");
        // Every wait comes before the finished report.
        EXPECT_EQ(std::vector<std::string>(finished, events.end()),
                  (std::vector<std::string>{"<finished>", "Quit", "<closed>"}))
            << c.name;
    }
}

}  // namespace
