// An out-of-process automation server that turns away its first calls, the way a
// busy Word does: its message filter rejects the first few Invoke calls it sees.
// Started by COM from its LocalServer32 entry with the number of calls to reject
// as its first argument. It ends when its object is released, or after a minute.
#include <windows.h>
#include <ole2.h>

#include <cstdlib>

#include "tests/com/fake_dispatch_win.h"

namespace {

using rulecore::test::fake::Arguments;
using rulecore::test::fake::ComPtr;
using rulecore::test::fake::FakeDispatch;
using rulecore::test::fake::Member;

// {8D2E4F61-7A3B-4C9D-8E1F-5A6B7C8D9E02}
constexpr CLSID busyClass = {0x8d2e4f61, 0x7a3b, 0x4c9d, {0x8e, 0x1f, 0x5a, 0x6b, 0x7c, 0x8d, 0x9e, 0x02}};
constexpr UINT invokeMethod = 6;  // IDispatch::Invoke in the vtable

LONG rejectionsLeft = 0;
LONG rejected = 0;
LONG served = 0;
DWORD mainThread = 0;

enum : DISPID { CountId = 1, RejectedId, ServedId };
constexpr Member members[] = {
    {L"Count", CountId, DISPATCH_PROPERTYGET},
    {L"Rejected", RejectedId, DISPATCH_PROPERTYGET},
    {L"Served", ServedId, DISPATCH_PROPERTYGET},
};

class Busy final : public FakeDispatch {
public:
    Busy() : FakeDispatch(rulecore::test::fake::typeInfoFor(members)) {}
    ~Busy() override { PostThreadMessageW(mainThread, WM_QUIT, 0, 0); }

protected:
    HRESULT call(DISPID id, WORD, const Arguments&, VARIANT* result) override {
        ++served;
        switch (id) {
        case CountId: return rulecore::test::fake::giveInteger(result, 7);
        case RejectedId: return rulecore::test::fake::giveInteger(result, rejected);
        case ServedId: return rulecore::test::fake::giveInteger(result, served);
        }
        return DISP_E_MEMBERNOTFOUND;
    }
};

class RejectingFilter final : public IMessageFilter {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IMessageFilter) {
            *out = static_cast<IMessageFilter*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO info) override {
        const bool isInvoke = info && info->iid == IID_IDispatch && info->wMethod == invokeMethod;
        if (isInvoke && rejectionsLeft > 0) {
            --rejectionsLeft;
            ++rejected;
            return SERVERCALL_REJECTED;
        }
        return SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return DWORD(-1); }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }
};

class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        ComPtr<Busy> busy(new Busy());
        return busy->QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

}  // namespace

int main(int argc, char** argv) {
    rejectionsLeft = argc > 1 ? std::atol(argv[1]) : 0;
    mainThread = GetCurrentThreadId();
    if (FAILED(CoInitialize(nullptr))) return 1;
    RejectingFilter filter;
    ComPtr<IMessageFilter> previous;
    CoRegisterMessageFilter(&filter, previous.put());
    Factory factory;
    DWORD cookie = 0;
    if (FAILED(CoRegisterClassObject(busyClass, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie)))
        return 2;
    SetTimer(nullptr, 0, 60000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER) break;
        DispatchMessageW(&message);
    }
    CoRevokeClassObject(cookie);
    CoRegisterMessageFilter(previous.get(), nullptr);
    CoUninitialize();
    return 0;
}
