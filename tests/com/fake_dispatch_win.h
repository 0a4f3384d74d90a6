#pragma once

// Automation objects of our own for the tests: real type information from
// CreateDispTypeInfo (a coclass over one interface, as Wine gives it), and an
// Invoke that a subclass answers member by member.
#include <span>
#include <string>
#include <string_view>

#include "rulecore/word/com/com_owners_win.h"

namespace rulecore::test::fake {

using word::com::ComPtr;

struct Member {
    const wchar_t* name;
    DISPID id;
    WORD kind;  // DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT ...
};

// Type information listing members; null when it cannot be made.
ComPtr<ITypeInfo> typeInfoFor(std::span<const Member> members);

// The arguments of one Invoke, first argument first (a property put's value last).
class Arguments {
public:
    explicit Arguments(const DISPPARAMS* params) : params_(params) {}
    UINT count() const { return params_ ? params_->cArgs : 0; }
    // Null beyond the end.
    VARIANT* at(UINT position) const;
    // Not passed at all, or passed as a missing optional argument.
    bool missing(UINT position) const;
    std::wstring text(UINT position) const;
    LONG integer(UINT position, LONG fallback = 0) const;
    bool boolean(UINT position) const;

private:
    const DISPPARAMS* params_;
};

class FakeDispatch : public IDispatch {
public:
    // Without info the object offers no type information.
    explicit FakeDispatch(ComPtr<ITypeInfo> info) : info_(std::move(info)) {}
    FakeDispatch(const FakeDispatch&) = delete;
    FakeDispatch& operator=(const FakeDispatch&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD kind, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override;

    LONG references() const { return count_; }

protected:
    virtual ~FakeDispatch() = default;
    // Answers one call; DISP_E_MEMBERNOTFOUND for what the object lacks.
    virtual HRESULT call(DISPID id, WORD kind, const Arguments& arguments, VARIANT* result) = 0;

private:
    ComPtr<ITypeInfo> info_;
    LONG count_ = 1;
};

// Result helpers; each ignores a null result.
HRESULT giveText(VARIANT* result, std::wstring_view text);
HRESULT giveInteger(VARIANT* result, LONG value);
HRESULT giveBoolean(VARIANT* result, bool value);
HRESULT giveObject(VARIANT* result, IDispatch* object);

}  // namespace rulecore::test::fake
