#include "tests/support/recording_dispatcher.h"

#include <algorithm>
#include <sstream>
#include <utility>

namespace rulecore::test {

using word::Access;
using word::AutomationObject;
using word::AutomationValue;
using word::ResultKind;
using word::ValueKind;

class RecordingDispatcher::Peer final : public word::AutomationPeer {
public:
    Peer(RecordingDispatcher& owner, std::string label) : owner_(owner), label_(std::move(label)) {}
    ~Peer() = default;

    void addRef() override { ++count_; }
    void release() override {
        if (count_ == 0) {
            owner_.faults_.push_back("released too often: " + label_);
            return;
        }
        if (--count_ == 0) owner_.releaseLog_.push_back(label_);
    }
    const std::string& label() const { return label_; }
    int count() const { return count_; }

private:
    RecordingDispatcher& owner_;
    std::string label_;
    int count_ = 1;
};

namespace {

const char* verb(Access access) {
    switch (access) {
        case Access::Read: return "read";
        case Access::Write: return "write";
        case Access::Call: return "call";
    }
    return "?";
}

const char* wantName(ResultKind want) {
    switch (want) {
        case ResultKind::Nothing: return "";
        case ResultKind::Object: return "object";
        case ResultKind::Value: return "value";
        case ResultKind::Text: return "text";
        case ResultKind::Number: return "number";
        case ResultKind::Boolean: return "boolean";
    }
    return "?";
}

std::string describe(const RecordedValue& value) {
    std::ostringstream out;
    if (value.byReference) out << '&';
    switch (value.kind) {
        case ValueKind::Empty: out << "empty"; break;
        case ValueKind::Missing: out << '-'; break;
        case ValueKind::Integer: out << value.integer; break;
        case ValueKind::Boolean: out << (value.boolean ? "true" : "false"); break;
        case ValueKind::Double: out << value.number << 'd'; break;
        case ValueKind::Text: out << '"' << value.text << '"'; break;
        case ValueKind::Object: out << '<' << value.object << '>'; break;
    }
    return out.str();
}

// The scripted value as the kind asked for; false when it cannot be converted.
bool convert(AutomationValue& value, ResultKind want) {
    switch (want) {
        case ResultKind::Nothing: value = AutomationValue::empty(); return true;
        case ResultKind::Value: return true;
        case ResultKind::Object: return value.kind == ValueKind::Object;
        case ResultKind::Text: return value.kind == ValueKind::Text;
        case ResultKind::Number:
            if (value.kind == ValueKind::Integer) value = AutomationValue::fromDouble(value.integer);
            if (value.kind == ValueKind::Boolean) value = AutomationValue::fromDouble(value.boolean ? -1.0 : 0.0);
            return value.kind == ValueKind::Double;
        case ResultKind::Boolean:
            if (value.kind == ValueKind::Integer) value = AutomationValue::fromBoolean(value.integer != 0);
            return value.kind == ValueKind::Boolean;
    }
    return false;
}

}  // namespace

std::string RecordedCall::line() const {
    if (creation) return "create " + member;
    std::string out = target + ' ' + verb(access) + ' ' + member;
    if (access == Access::Write && arguments.size() == 1) {
        out += " = " + describe(arguments.front());
    } else if (access == Access::Call || !arguments.empty()) {
        out += '(';
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            if (i > 0) out += ", ";
            out += describe(arguments[i]);
        }
        out += ')';
    }
    if (want != ResultKind::Nothing) out += std::string(" -> ") + wantName(want);
    return out;
}

RecordingDispatcher::RecordingDispatcher() = default;
// Scripted answers may hold objects; they let go while the logs still exist.
RecordingDispatcher::~RecordingDispatcher() { answers_.clear(); }

void RecordingDispatcher::answer(const std::string& member, std::vector<AutomationValue> values) {
    auto queue = std::make_shared<std::vector<AutomationValue>>(std::move(values));
    auto next = std::make_shared<std::size_t>(0);
    answers_[member] = [queue, next](const RecordedCall&) -> std::optional<AutomationValue> {
        if (queue->empty()) return AutomationValue::empty();
        const std::size_t index = std::min(*next, queue->size() - 1);
        ++*next;
        return (*queue)[index];
    };
}

void RecordingDispatcher::answerWith(const std::string& member, Answer answer) { answers_[member] = std::move(answer); }

void RecordingDispatcher::fail(const std::string& member) { answers_[member] = nullptr; }

void RecordingDispatcher::clearAnswers() { answers_.clear(); }

AutomationObject RecordingDispatcher::makeChild(const std::string& label) {
    const int uses = ++labelUses_[label];
    std::string unique = uses == 1 ? label : label + '#' + std::to_string(uses);
    peers_.push_back(std::make_unique<Peer>(*this, std::move(unique)));
    return AutomationObject::adopt(peers_.back().get());
}

AutomationObject RecordingDispatcher::makeObject(const std::string& label) { return makeChild(label); }

RecordingDispatcher::Peer* RecordingDispatcher::peerOf(const AutomationObject& object) const {
    return dynamic_cast<Peer*>(object.peer());
}

void RecordingDispatcher::restartLabels() {
    labelUses_.clear();
    for (const auto& peer : peers_) {
        if (peer->count() > 0) labelUses_[peer->label()] = 1;
    }
}

std::vector<std::string> RecordingDispatcher::lines() const {
    std::vector<std::string> out;
    out.reserve(calls_.size());
    for (const RecordedCall& call : calls_) out.push_back(call.line());
    return out;
}

std::vector<std::string> RecordingDispatcher::liveObjects() const {
    std::vector<std::string> out;
    for (const auto& peer : peers_) {
        if (peer->count() > 0) out.push_back(peer->label());
    }
    return out;
}

int RecordingDispatcher::referenceCount(const AutomationObject& object) const {
    const Peer* peer = peerOf(object);
    return peer ? peer->count() : 0;
}

std::string RecordingDispatcher::labelOf(const AutomationObject& object) const {
    const Peer* peer = peerOf(object);
    return peer ? peer->label() : "<empty>";
}

void RecordingDispatcher::beginThread() { ++begun_; }

void RecordingDispatcher::endThread() {
    if (ended_ == begun_) faults_.push_back("COM ended more often than begun");
    ++ended_;
    releaseLog_.push_back("end COM");
}

AutomationObject RecordingDispatcher::createObject(std::string_view programId) {
    RecordedCall call;
    call.creation = true;
    call.member = std::string(programId);
    calls_.push_back(std::move(call));
    if (creationFails_) return {};
    return makeChild("Word");
}

RecordedValue RecordingDispatcher::record(const AutomationValue& value) const {
    RecordedValue out;
    out.kind = value.kind;
    out.byReference = value.byReference;
    out.integer = value.integer;
    out.boolean = value.boolean;
    out.number = value.number;
    out.text = value.text;
    if (value.kind == ValueKind::Object) out.object = labelOf(value.object);
    return out;
}

AutomationValue RecordingDispatcher::invoke(const AutomationObject& target, Access access, std::string_view member,
                                            std::span<AutomationValue> arguments, ResultKind want) {
    RecordedCall call;
    call.target = labelOf(target);
    call.access = access;
    call.member = std::string(member);
    call.want = want;
    for (const AutomationValue& argument : arguments) call.arguments.push_back(record(argument));
    calls_.push_back(call);

    const Peer* peer = peerOf(target);
    if (peer && peer->count() == 0) faults_.push_back("call on a released object: " + call.line());
    const auto scripted = answers_.find(call.member);
    const bool failed = !peer || peer->count() == 0 || (scripted != answers_.end() && !scripted->second);
    if (failed) {
        word::recordCallOutcome(false);
        return word::emptyResult(want);
    }

    AutomationValue result;
    if (scripted != answers_.end()) {
        std::optional<AutomationValue> answered = scripted->second(call);
        if (answered) result = std::move(*answered);
        if (!answered || !convert(result, want)) {
            word::recordCallOutcome(false);
            return word::emptyResult(want);
        }
    } else if (want == ResultKind::Object) {
        result = AutomationValue::fromObject(makeChild(call.target + '.' + call.member));
    } else {
        result = word::emptyResult(want);
    }
    word::recordCallOutcome(true);
    return result;
}

AutomationValue integerValue(std::int32_t value) { return AutomationValue::fromInteger(value); }
AutomationValue numberValue(double value) { return AutomationValue::fromDouble(value); }
AutomationValue booleanValue(bool value) { return AutomationValue::fromBoolean(value); }
AutomationValue textValue(std::string_view value) { return AutomationValue::fromText(Text(value)); }
AutomationValue objectValue(const AutomationObject& object) { return AutomationValue::fromObject(object); }

}  // namespace rulecore::test
