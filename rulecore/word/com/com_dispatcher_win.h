#pragma once

// The automation call contract on COM IDispatch: late-bound calls whose members are
// looked up by name in the object's type information.
#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rulecore/word/automation.h"
#include "rulecore/word/com/com_owners_win.h"

namespace rulecore::word::com {

// How long a call that the server rejects (busy starting, saving, printing or
// showing a dialog) is tried again, and how long to wait between tries.
struct RetryPolicy {
    DWORD limitMs = 60000;
    DWORD delayMs = 150;

    // The wait before the next try of a call rejected elapsedMs after it was first
    // made, or DWORD(-1) to give up; the value RetryRejectedCall answers with.
    DWORD delayAfter(DWORD elapsedMs) const { return elapsedMs < limitMs ? delayMs : DWORD(-1); }
};

// A message filter for one thread: retries rejected calls under policy, lets
// incoming calls and pending messages through as COM would by default.
ComPtr<IMessageFilter> makeRetryFilter(RetryPolicy policy);

class ComDispatcher final : public AutomationDispatcher {
public:
    explicit ComDispatcher(RetryPolicy policy = {}) : policy_(policy) {}

    void beginThread() override;
    void endThread() override;
    AutomationObject createObject(std::string_view programId) override;
    AutomationValue invoke(const AutomationObject& target, Access access, std::string_view member,
                           std::span<AutomationValue> arguments, ResultKind want) override;

private:
    struct ThreadEntry {
        bool comStarted = false;
        ComPtr<IMessageFilter> previousFilter;
        bool filterRegistered = false;
    };
    // The dispatch id of a member per kind: method, get, put, put by reference.
    using MemberIds = std::array<std::optional<MEMBERID>, 4>;

    MemberIds membersNamed(ITypeInfo* info, std::string_view name);
    HRESULT invokeRetrying(IDispatch* dispatch, DISPID member, WORD kind, DISPPARAMS& params,
                           VARIANT* result);

    RetryPolicy policy_;
    // Lookups already made, keyed by the type's identity (16 bytes) and then the
    // name as asked. Word's type information lives in Word's process; walking it
    // again on every call would cost hundreds of round trips per call.
    std::map<std::string, MemberIds> known_;
    // One entry per beginThread not yet matched by endThread, innermost last.
    std::vector<ThreadEntry> entries_;
};

// A new reference to dispatch as an object of the contract (empty for null).
AutomationObject wrapDispatch(IDispatch* dispatch);

// The IDispatch behind object, borrowed; null when object is empty or was not made
// by this binding.
IDispatch* dispatchOf(const AutomationObject& object);

// Text in the ANSI code page to and from the automation's wide text.
Bstr bstrFromText(std::string_view text);
Text textFromWide(const wchar_t* wide, UINT length);

}  // namespace rulecore::word::com
