#include "rulecore/word/com/com_dispatcher_win.h"

namespace rulecore::word::com {
namespace {

// While Word starts, saves, prints or shows a dialog it turns calls away; COM asks
// this filter what to do, and the answer is to try the same call again shortly.
class RetryFilter final : public IMessageFilter {
public:
    explicit RetryFilter(RetryPolicy policy) : policy_(policy) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IMessageFilter) {
            *out = static_cast<IMessageFilter*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&count_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&count_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
        return SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsedMs, DWORD rejectType) override {
        if (rejectType != SERVERCALL_RETRYLATER && rejectType != SERVERCALL_REJECTED) return DWORD(-1);
        return policy_.delayAfter(elapsedMs);
    }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override {
        return PENDINGMSG_WAITDEFPROCESS;
    }

private:
    ~RetryFilter() = default;
    RetryPolicy policy_;
    LONG count_ = 1;
};

}  // namespace

ComPtr<IMessageFilter> makeRetryFilter(RetryPolicy policy) {
    return ComPtr<IMessageFilter>(new RetryFilter(policy));
}

}  // namespace rulecore::word::com
