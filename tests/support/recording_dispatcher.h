#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rulecore/rules/text.h"
#include "rulecore/word/automation.h"

namespace rulecore::test {

// One argument as it was sent.
struct RecordedValue {
    word::ValueKind kind = word::ValueKind::Empty;
    bool byReference = false;
    std::int32_t integer = 0;
    bool boolean = false;
    double number = 0.0;
    Text text;
    std::string object;  // label of an object argument ("<empty>" for an empty one)
};

// One automation call, or one creation from a program identifier.
struct RecordedCall {
    bool creation = false;
    std::string target;  // label of the object called; "<empty>" for an empty reference
    word::Access access = word::Access::Read;
    std::string member;  // for a creation, the program identifier
    std::vector<RecordedValue> arguments;
    word::ResultKind want = word::ResultKind::Nothing;

    // One line, for example
    //   Word.ActiveDocument call SaveAs("a.doc")
    //   Word read Documents -> object
    //   Word.Selection.Font write Size = 12
    // Integers print as 5, booleans as true/false, doubles as 2.5d, texts in quotes
    // (raw bytes), objects as <label>, missing arguments as -, empty values as
    // empty; "&" marks an argument passed by reference.
    std::string line() const;
};

// A portable stand-in for an automation engine. Every object it hands out is
// labelled by the way it was reached: the created application is "Word", what a
// read or call of member M on object L yields is "L.M", and a label reached again
// gets "#2", "#3", ... so each line shows whether an object is new or reused.
//
// Reads, writes and calls succeed unless the target is empty (or already released)
// or the member was made to fail. Unscripted results: a fresh child object when an
// object is wanted, the empty text, 0, false or an empty value otherwise. Scripted
// results are converted to the kind asked for as the contract says; a result that
// cannot be converted fails the call.
//
// Reference counts are tracked per object; objects are kept alive by the
// dispatcher, so a release too many is recorded as a fault instead of crashing.
// Objects must not outlive the dispatcher.
class RecordingDispatcher final : public word::AutomationDispatcher {
public:
    // A scripted answer; no value makes the call fail.
    using Answer = std::function<std::optional<word::AutomationValue>(const RecordedCall&)>;

    RecordingDispatcher();
    ~RecordingDispatcher() override;
    RecordingDispatcher(const RecordingDispatcher&) = delete;
    RecordingDispatcher& operator=(const RecordingDispatcher&) = delete;

    // Answers calls of member (on any object) with these values in turn; the
    // last one repeats. Answers hold their objects until clearAnswers.
    void answer(const std::string& member, std::vector<word::AutomationValue> values);
    // Answers calls of member by asking answer each time.
    void answerWith(const std::string& member, Answer answer);
    // Every call of member fails.
    void fail(const std::string& member);
    void clearAnswers();
    // createObject yields an empty object from now on.
    void failCreation() { creationFails_ = true; }

    // A new object with one reference, owned by the caller.
    word::AutomationObject makeObject(const std::string& label);

    const std::vector<RecordedCall>& calls() const { return calls_; }
    std::vector<std::string> lines() const;
    void clearCalls() { calls_.clear(); }
    // Starts the "#2", "#3" numbering afresh (objects still held keep their
    // labels), so a test's own set-up does not shift the labels it checks.
    void restartLabels();

    // Labels of objects that still hold references, in creation order, including
    // those made with makeObject and those held by answers.
    std::vector<std::string> liveObjects() const;
    // Releases too many, calls on released objects, COM ended more often than begun.
    const std::vector<std::string>& faults() const { return faults_; }
    // The order in which objects lost their last reference, with "end COM" for
    // each endThread.
    const std::vector<std::string>& releaseLog() const { return releaseLog_; }
    int referenceCount(const word::AutomationObject& object) const;
    std::string labelOf(const word::AutomationObject& object) const;
    int threadsBegun() const { return begun_; }
    int threadsEnded() const { return ended_; }

    void beginThread() override;
    void endThread() override;
    word::AutomationObject createObject(std::string_view programId) override;
    word::AutomationValue invoke(const word::AutomationObject& target, word::Access access, std::string_view member,
                                 std::span<word::AutomationValue> arguments, word::ResultKind want) override;

private:
    class Peer;
    Peer* peerOf(const word::AutomationObject& object) const;
    word::AutomationObject makeChild(const std::string& label);
    RecordedValue record(const word::AutomationValue& value) const;

    std::vector<std::unique_ptr<Peer>> peers_;
    std::map<std::string, int> labelUses_;
    std::map<std::string, Answer> answers_;
    std::vector<RecordedCall> calls_;
    std::vector<std::string> faults_;
    std::vector<std::string> releaseLog_;
    bool creationFails_ = false;
    int begun_ = 0;
    int ended_ = 0;
};

// Shorthands for scripting answers.
word::AutomationValue integerValue(std::int32_t value);
word::AutomationValue numberValue(double value);
word::AutomationValue booleanValue(bool value);
word::AutomationValue textValue(std::string_view value);
word::AutomationValue objectValue(const word::AutomationObject& object);

}  // namespace rulecore::test
