#include "tests/com/fake_dispatch_win.h"

#include <vector>

namespace rulecore::test::fake {

ComPtr<ITypeInfo> typeInfoFor(std::span<const Member> members) {
    std::vector<METHODDATA> methods(members.size());
    for (std::size_t i = 0; i < members.size(); ++i) {
        METHODDATA& method = methods[i];
        method.szName = const_cast<OLECHAR*>(members[i].name);
        method.ppdata = nullptr;
        method.dispid = members[i].id;
        method.iMeth = static_cast<UINT>(7 + i);
        method.cc = CC_STDCALL;
        method.cArgs = 0;
        method.wFlags = members[i].kind;
        method.vtReturn = VT_VARIANT;
    }
    INTERFACEDATA data{methods.data(), static_cast<UINT>(methods.size())};
    ComPtr<ITypeInfo> info;
    if (FAILED(CreateDispTypeInfo(&data, LOCALE_SYSTEM_DEFAULT, info.put()))) return {};
    return info;
}

VARIANT* Arguments::at(UINT position) const {
    if (position >= count()) return nullptr;
    return &params_->rgvarg[count() - 1 - position];
}

bool Arguments::missing(UINT position) const {
    const VARIANT* v = at(position);
    return !v || (V_VT(v) == VT_ERROR && V_ERROR(v) == DISP_E_PARAMNOTFOUND);
}

std::wstring Arguments::text(UINT position) const {
    VARIANT* v = at(position);
    word::com::Variant converted;
    if (!v || FAILED(VariantChangeType(converted.get(), v, 0, VT_BSTR))) return {};
    BSTR b = V_BSTR(converted.get());
    return std::wstring(b ? b : L"", SysStringLen(b));
}

LONG Arguments::integer(UINT position, LONG fallback) const {
    VARIANT* v = at(position);
    word::com::Variant converted;
    if (missing(position) || FAILED(VariantChangeType(converted.get(), v, 0, VT_I4))) return fallback;
    return V_I4(converted.get());
}

bool Arguments::boolean(UINT position) const {
    VARIANT* v = at(position);
    word::com::Variant converted;
    if (missing(position) || FAILED(VariantChangeType(converted.get(), v, 0, VT_BOOL))) return false;
    return V_BOOL(converted.get()) != VARIANT_FALSE;
}

HRESULT STDMETHODCALLTYPE FakeDispatch::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE FakeDispatch::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&count_)); }

ULONG STDMETHODCALLTYPE FakeDispatch::Release() {
    const LONG left = InterlockedDecrement(&count_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE FakeDispatch::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = info_ ? 1 : 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeDispatch::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (!info_ || index != 0) return DISP_E_BADINDEX;
    *info = ComPtr<ITypeInfo>(info_).detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeDispatch::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    // Callers are meant to look members up in the type information.
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE FakeDispatch::Invoke(DISPID id, REFIID, LCID, WORD kind, DISPPARAMS* params,
                                               VARIANT* result, EXCEPINFO*, UINT*) {
    if (result) VariantInit(result);
    return call(id, kind, Arguments(params), result);
}

HRESULT giveText(VARIANT* result, std::wstring_view text) {
    if (!result) return S_OK;
    V_VT(result) = VT_BSTR;
    V_BSTR(result) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return S_OK;
}

HRESULT giveInteger(VARIANT* result, LONG value) {
    if (!result) return S_OK;
    V_VT(result) = VT_I4;
    V_I4(result) = value;
    return S_OK;
}

HRESULT giveBoolean(VARIANT* result, bool value) {
    if (!result) return S_OK;
    V_VT(result) = VT_BOOL;
    V_BOOL(result) = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT giveObject(VARIANT* result, IDispatch* object) {
    if (!result) return S_OK;
    if (object) object->AddRef();
    V_VT(result) = VT_DISPATCH;
    V_DISPATCH(result) = object;
    return S_OK;
}

}  // namespace rulecore::test::fake
