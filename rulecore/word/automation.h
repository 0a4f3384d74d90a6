#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <utility>

#include "rulecore/rules/text.h"

// The automation call contract: the one seam between WordSession and whatever
// implements Word's object model (COM on Windows, our LibreOffice model on Linux,
// a recording backend in tests). Nothing here includes platform headers.
namespace rulecore::word {

// One object of the automation world, reference-counted by its backend.
class AutomationPeer {
public:
    virtual void addRef() = 0;
    virtual void release() = 0;

protected:
    ~AutomationPeer() = default;
};

// A counted reference. Copying adds a count, releasing drops it and leaves the
// reference empty; releasing an empty reference does nothing.
class AutomationObject {
public:
    AutomationObject() = default;
    // Takes over one count that the caller already holds.
    static AutomationObject adopt(AutomationPeer* peer) {
        AutomationObject object;
        object.peer_ = peer;
        return object;
    }
    AutomationObject(const AutomationObject& other) : peer_(other.peer_) {
        if (peer_) peer_->addRef();
    }
    AutomationObject(AutomationObject&& other) noexcept : peer_(std::exchange(other.peer_, nullptr)) {}
    AutomationObject& operator=(AutomationObject other) noexcept {
        std::swap(peer_, other.peer_);
        return *this;
    }
    ~AutomationObject() { release(); }

    void release() {
        if (AutomationPeer* peer = std::exchange(peer_, nullptr)) peer->release();
    }
    bool empty() const { return peer_ == nullptr; }
    explicit operator bool() const { return peer_ != nullptr; }
    AutomationPeer* peer() const { return peer_; }

private:
    AutomationPeer* peer_ = nullptr;
};

enum class ValueKind { Empty, Missing, Integer, Boolean, Double, Text, Object };

// A tagged automation value. Missing stands for a left-out argument that has given
// arguments after it. byReference asks the binding to pass the argument by
// reference; the callee may then write the argument back.
struct AutomationValue {
    ValueKind kind = ValueKind::Empty;
    std::int32_t integer = 0;
    bool boolean = false;
    double number = 0.0;
    Text text;
    AutomationObject object;
    bool byReference = false;

    static AutomationValue empty() { return {}; }
    static AutomationValue missing() {
        AutomationValue v;
        v.kind = ValueKind::Missing;
        return v;
    }
    static AutomationValue fromInteger(std::int32_t i) {
        AutomationValue v;
        v.kind = ValueKind::Integer;
        v.integer = i;
        return v;
    }
    static AutomationValue fromBoolean(bool b) {
        AutomationValue v;
        v.kind = ValueKind::Boolean;
        v.boolean = b;
        return v;
    }
    static AutomationValue fromDouble(double d) {
        AutomationValue v;
        v.kind = ValueKind::Double;
        v.number = d;
        return v;
    }
    static AutomationValue fromText(Text t) {
        AutomationValue v;
        v.kind = ValueKind::Text;
        v.text = std::move(t);
        return v;
    }
    static AutomationValue fromObject(AutomationObject o) {
        AutomationValue v;
        v.kind = ValueKind::Object;
        v.object = std::move(o);
        return v;
    }
    AutomationValue passedByReference() && {
        byReference = true;
        return std::move(*this);
    }
};

enum class Access { Read, Write, Call };
enum class ResultKind { Nothing, Object, Value, Text, Number, Boolean };

// What WordSession requires of the layer beneath it. A failed call records failure
// for the calling thread and yields the empty value of the kind asked for (empty
// object, empty text, 0, false, empty value); it never shows or throws anything.
class AutomationDispatcher {
public:
    virtual ~AutomationDispatcher() = default;

    // COM is initialised and ended once per WordSession on its thread.
    virtual void beginThread() = 0;
    virtual void endThread() = 0;

    // Creates an application object from a program identifier ("WORD.Application").
    // Empty on failure; nothing is reported.
    virtual AutomationObject createObject(std::string_view programId) = 0;

    // Reads, writes or calls member on target. The result's kind follows want:
    // Object -> kind Object, Text -> Text, Number -> Double, Boolean -> Boolean,
    // Value -> whatever the member gave, Nothing -> Empty.
    virtual AutomationValue invoke(const AutomationObject& target, Access access,
                                   std::string_view member, std::span<AutomationValue> arguments,
                                   ResultKind want) = 0;
};

// The empty value of the kind asked for, which every failed call yields: an empty
// object, an empty text, the number 0, false, or an empty value.
inline AutomationValue emptyResult(ResultKind want) {
    switch (want) {
        case ResultKind::Object: return AutomationValue::fromObject({});
        case ResultKind::Text: return AutomationValue::fromText({});
        case ResultKind::Number: return AutomationValue::fromDouble(0.0);
        case ResultKind::Boolean: return AutomationValue::fromBoolean(false);
        case ResultKind::Nothing:
        case ResultKind::Value: break;
    }
    return AutomationValue::empty();
}

// Per-thread record of the most recent automation call.
bool lastCallSucceeded();
void recordCallOutcome(bool succeeded);

}  // namespace rulecore::word
