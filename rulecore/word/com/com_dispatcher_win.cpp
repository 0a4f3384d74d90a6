#include "rulecore/word/com/com_dispatcher_win.h"

#include <array>
#include <climits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>

namespace rulecore::word::com {
namespace {

// One object of the contract: an IDispatch with a count of its own, so copies of
// AutomationObject never touch the server's count.
class ComPeer final : public AutomationPeer {
public:
    explicit ComPeer(ComPtr<IDispatch> dispatch) : dispatch_(std::move(dispatch)) {}
    void addRef() override { InterlockedIncrement(&count_); }
    void release() override {
        if (InterlockedDecrement(&count_) == 0) delete this;
    }
    IDispatch* dispatch() const { return dispatch_.get(); }

private:
    ~ComPeer() = default;
    ComPtr<IDispatch> dispatch_;
    LONG count_ = 1;
};

std::wstring wideFromText(std::string_view text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int size = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), needed);
    return wide;
}

// ---- member lookup through the type information ----

ComPtr<ITypeInfo> referencedInfo(ITypeInfo* info, UINT implIndex) {
    HREFTYPE ref = 0;
    if (FAILED(info->GetRefTypeOfImplType(implIndex, &ref))) return {};
    ComPtr<ITypeInfo> referenced;
    if (FAILED(info->GetRefTypeInfo(ref, referenced.put()))) return {};
    return referenced;
}

// A coclass names its members only through the interfaces it implements; the
// default one (not an event source) is the one its objects answer to.
ComPtr<ITypeInfo> defaultInterface(ITypeInfo* coclass, UINT implCount) {
    UINT chosen = implCount;
    for (UINT i = 0; i < implCount; ++i) {
        INT flags = 0;
        if (FAILED(coclass->GetImplTypeFlags(i, &flags)) || (flags & IMPLTYPEFLAG_FSOURCE)) continue;
        if (flags & IMPLTYPEFLAG_FDEFAULT) {
            chosen = i;
            break;
        }
        if (chosen == implCount) chosen = i;
    }
    if (chosen == implCount) return {};
    return referencedInfo(coclass, chosen);
}

// The type information that lists the members the object's IDispatch answers to.
// A coclass leads to its default interface. A dual interface is read from its
// interface side: that side always describes every member with its dispatch id
// and kind, while the dispatch side that Wine makes of a loaded type library lists
// only some of them.
ComPtr<ITypeInfo> memberTypeInfo(ComPtr<ITypeInfo> info) {
    // At most coclass -> dispatch side of a dual interface -> its interface side.
    for (int step = 0; step < 3; ++step) {
        ComPtr<ITypeInfo> inner;
        {
            TypeAttr attr(info.get());
            if (!attr.get()) return {};
            if (attr.get()->typekind == TKIND_COCLASS) {
                inner = defaultInterface(info.get(), attr.get()->cImplTypes);
                if (!inner) return {};
            } else if (attr.get()->typekind == TKIND_DISPATCH && (attr.get()->wTypeFlags & TYPEFLAG_FDUAL)) {
                inner = referencedInfo(info.get(), static_cast<UINT>(-1));
                if (!inner) return info;
            } else {
                return info;
            }
        }
        info = std::move(inner);
    }
    return info;
}

bool sameName(std::wstring_view a, const Bstr& b) {
    if (!b.get() || a.size() != b.length() || a.size() > INT_MAX) return false;
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.get(),
                                static_cast<int>(b.length()), TRUE) == CSTR_EQUAL;
}

bool memberNamed(ITypeInfo* info, MEMBERID id, std::wstring_view name) {
    Bstr found;
    UINT names = 0;
    if (FAILED(info->GetNames(id, found.put(), 1, &names)) || names == 0) return false;
    return sameName(name, found);
}

enum Slot { MethodSlot, GetSlot, PutSlot, PutRefSlot, SlotCount };

using Candidates = std::array<std::optional<MEMBERID>, SlotCount>;

std::optional<Slot> slotOf(INVOKEKIND kind) {
    switch (kind) {
    case INVOKE_FUNC: return MethodSlot;
    case INVOKE_PROPERTYGET: return GetSlot;
    case INVOKE_PROPERTYPUT: return PutSlot;
    case INVOKE_PROPERTYPUTREF: return PutRefSlot;
    }
    return std::nullopt;
}

// Collects, per member kind, the first member called name on info and its bases.
void collectMembers(ITypeInfo* info, std::wstring_view name, Candidates& found, int depth) {
    TypeAttr attr(info);
    if (!attr.get()) return;
    const TYPEATTR& type = *attr.get();
    for (UINT i = 0; i < type.cFuncs; ++i) {
        FuncDesc desc(info, i);
        if (!desc.get() || (desc.get()->wFuncFlags & FUNCFLAG_FRESTRICTED)) continue;
        const std::optional<Slot> slot = slotOf(desc.get()->invkind);
        if (!slot || found[*slot] || !memberNamed(info, desc.get()->memid, name)) continue;
        found[*slot] = desc.get()->memid;
    }
    // Properties of a dispinterface may be declared as variables.
    for (UINT i = 0; i < type.cVars; ++i) {
        VarDesc desc(info, i);
        if (!desc.get() || desc.get()->varkind != VAR_DISPATCH ||
            !memberNamed(info, desc.get()->memid, name))
            continue;
        if (!found[GetSlot]) found[GetSlot] = desc.get()->memid;
        if (!(desc.get()->wVarFlags & VARFLAG_FREADONLY) && !found[PutSlot])
            found[PutSlot] = desc.get()->memid;
    }
    const bool hasBase = (type.typekind == TKIND_INTERFACE || type.typekind == TKIND_DISPATCH) &&
                         type.cImplTypes > 0;
    if (hasBase && depth < 8) {
        if (ComPtr<ITypeInfo> base = referencedInfo(info, 0))
            collectMembers(base.get(), name, found, depth + 1);
    }
}

struct Member {
    MEMBERID id;
    WORD kind;  // the DISPATCH_ flag it is invoked with
};

std::optional<Member> chooseMember(const Candidates& found, Access access) {
    static constexpr Slot readOrder[] = {GetSlot, MethodSlot};
    static constexpr Slot writeOrder[] = {PutSlot, PutRefSlot, MethodSlot};
    static constexpr Slot callOrder[] = {MethodSlot, GetSlot, PutSlot, PutRefSlot};
    static constexpr WORD flags[SlotCount] = {DISPATCH_METHOD, DISPATCH_PROPERTYGET,
                                              DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF};
    std::span<const Slot> order = access == Access::Read    ? std::span<const Slot>(readOrder)
                                  : access == Access::Write ? std::span<const Slot>(writeOrder)
                                                            : std::span<const Slot>(callOrder);
    for (Slot slot : order)
        if (found[slot]) return Member{*found[slot], flags[slot]};
    return std::nullopt;
}

// The identity of a type, or empty for one without (as CreateDispTypeInfo makes).
std::string typeIdentity(ITypeInfo* info) {
    TypeAttr attr(info);
    if (!attr.get() || attr.get()->guid == GUID_NULL) return {};
    return std::string(reinterpret_cast<const char*>(&attr.get()->guid), sizeof(GUID));
}

// ---- arguments ----

VARTYPE byReference(VARTYPE type) { return static_cast<VARTYPE>(VT_BYREF | type); }

// Puts value into an empty variant; false when it cannot be sent.
bool fillVariant(VARIANT& v, const AutomationValue& value) {
    switch (value.kind) {
    case ValueKind::Empty: return true;
    case ValueKind::Missing:
        V_VT(&v) = VT_ERROR;
        V_ERROR(&v) = DISP_E_PARAMNOTFOUND;
        return true;
    case ValueKind::Integer:
        V_VT(&v) = VT_I4;
        V_I4(&v) = value.integer;
        return true;
    case ValueKind::Boolean:
        V_VT(&v) = VT_BOOL;
        V_BOOL(&v) = value.boolean ? VARIANT_TRUE : VARIANT_FALSE;
        return true;
    case ValueKind::Double:
        V_VT(&v) = VT_R8;
        V_R8(&v) = value.number;
        return true;
    case ValueKind::Text:
        V_VT(&v) = VT_BSTR;
        V_BSTR(&v) = bstrFromText(value.text).detach();
        return true;
    case ValueKind::Object: {
        IDispatch* dispatch = nullptr;
        if (!value.object.empty()) {
            dispatch = dispatchOf(value.object);
            if (!dispatch) return false;
            dispatch->AddRef();
        }
        V_VT(&v) = VT_DISPATCH;
        V_DISPATCH(&v) = dispatch;
        return true;
    }
    }
    return false;
}

// A by-reference argument that points into pointee.
VARIANTARG referenceTo(VARIANT& pointee) {
    VARIANTARG ref;
    VariantInit(&ref);
    V_VT(&ref) = byReference(V_VT(&pointee));
    switch (V_VT(&pointee)) {
    case VT_I4: V_I4REF(&ref) = &V_I4(&pointee); break;
    case VT_BOOL: V_BOOLREF(&ref) = &V_BOOL(&pointee); break;
    case VT_R8: V_R8REF(&ref) = &V_R8(&pointee); break;
    case VT_BSTR: V_BSTRREF(&ref) = &V_BSTR(&pointee); break;
    case VT_DISPATCH: V_DISPATCHREF(&ref) = &V_DISPATCH(&pointee); break;
    default:
        V_VT(&ref) = byReference(VT_VARIANT);
        V_VARIANTREF(&ref) = &pointee;
        break;
    }
    return ref;
}

std::optional<AutomationValue> valueFromVariant(const VARIANT& source);

// The arguments of one Invoke, last first, with storage for what is passed by
// reference so it can be read back after the call.
class ArgumentPack {
public:
    ArgumentPack() = default;
    ArgumentPack(const ArgumentPack&) = delete;
    ArgumentPack& operator=(const ArgumentPack&) = delete;
    ~ArgumentPack() {
        for (std::size_t i = 0; i < passed_.size(); ++i)
            if (!(V_VT(&passed_[i]) & VT_BYREF)) VariantClear(&passed_[i]);
    }

    bool build(std::span<AutomationValue> arguments, WORD kind) {
        std::size_t given = arguments.size();
        while (given > 0 && arguments[given - 1].kind == ValueKind::Missing) --given;
        pointees_ = std::make_unique<Variant[]>(given);
        passed_.resize(given);
        for (std::size_t i = 0; i < given; ++i) {
            const AutomationValue& value = arguments[i];
            VARIANTARG& slot = passed_[given - 1 - i];
            VariantInit(&slot);
            if (value.byReference && value.kind != ValueKind::Missing) {
                if (!fillVariant(*pointees_[i].get(), value)) return false;
                slot = referenceTo(*pointees_[i].get());
            } else if (!fillVariant(slot, value)) {
                return false;
            }
        }
        params_.rgvarg = passed_.data();
        params_.cArgs = static_cast<UINT>(given);
        if ((kind & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) && given > 0) {
            params_.rgdispidNamedArgs = &putId_;
            params_.cNamedArgs = 1;
        }
        return true;
    }

    DISPPARAMS& params() { return params_; }

    // What the callee wrote into by-reference arguments, back into arguments.
    void copyBack(std::span<AutomationValue> arguments) {
        for (std::size_t i = 0; i < passed_.size(); ++i) {
            AutomationValue& value = arguments[i];
            if (!value.byReference || value.kind == ValueKind::Missing) continue;
            std::optional<AutomationValue> written = valueFromVariant(*pointees_[i].get());
            if (!written) continue;
            const bool keepKind = value.kind != ValueKind::Empty;
            switch (value.kind) {
            case ValueKind::Integer: value.integer = written->integer; break;
            case ValueKind::Boolean: value.boolean = written->boolean; break;
            case ValueKind::Double: value.number = written->number; break;
            case ValueKind::Text: value.text = std::move(written->text); break;
            case ValueKind::Object: value.object = std::move(written->object); break;
            default: break;
            }
            if (!keepKind) {
                value = std::move(*written);
                value.byReference = true;
            }
        }
    }

private:
    std::unique_ptr<Variant[]> pointees_;
    std::vector<VARIANTARG> passed_;
    DISPID putId_ = DISPID_PROPERTYPUT;
    DISPPARAMS params_{};
};

// ---- results ----

std::optional<VARIANT> changedTo(const VARIANT& source, VARTYPE type) {
    VARIANT converted;
    VariantInit(&converted);
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&source), 0, type))) return std::nullopt;
    return converted;
}

std::optional<AutomationValue> valueFromVariant(const VARIANT& source) {
    Variant plain;
    if (FAILED(VariantCopyInd(plain.get(), const_cast<VARIANT*>(&source)))) return std::nullopt;
    const VARIANT& v = *plain.get();
    switch (V_VT(&v)) {
    case VT_EMPTY:
    case VT_NULL: return AutomationValue::empty();
    case VT_BOOL: return AutomationValue::fromBoolean(V_BOOL(&v) != VARIANT_FALSE);
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_INT:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
        if (std::optional<VARIANT> whole = changedTo(v, VT_I4))
            return AutomationValue::fromInteger(V_I4(&*whole));
        [[fallthrough]];
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_DECIMAL:
        if (std::optional<VARIANT> real = changedTo(v, VT_R8))
            return AutomationValue::fromDouble(V_R8(&*real));
        return std::nullopt;
    case VT_BSTR: return AutomationValue::fromText(textFromWide(V_BSTR(&v), SysStringLen(V_BSTR(&v))));
    case VT_DISPATCH: return AutomationValue::fromObject(wrapDispatch(V_DISPATCH(&v)));
    case VT_UNKNOWN: {
        ComPtr<IDispatch> dispatch;
        if (V_UNKNOWN(&v) && FAILED(V_UNKNOWN(&v)->QueryInterface(IID_IDispatch, dispatch.putVoid())))
            return std::nullopt;
        return AutomationValue::fromObject(wrapDispatch(dispatch.get()));
    }
    default: return std::nullopt;
    }
}

std::optional<AutomationValue> convertResult(const VARIANT& result, ResultKind want) {
    switch (want) {
    case ResultKind::Nothing: return AutomationValue::empty();
    case ResultKind::Value: return valueFromVariant(result);
    case ResultKind::Object: {
        std::optional<AutomationValue> value = valueFromVariant(result);
        if (value && value->kind == ValueKind::Object) return value;
        return std::nullopt;
    }
    case ResultKind::Text: {
        Variant text;
        if (FAILED(VariantChangeType(text.get(), const_cast<VARIANT*>(&result), 0, VT_BSTR))) return std::nullopt;
        BSTR b = V_BSTR(text.get());
        return AutomationValue::fromText(textFromWide(b, SysStringLen(b)));
    }
    case ResultKind::Number: {
        std::optional<VARIANT> real = changedTo(result, VT_R8);
        if (!real) return std::nullopt;
        return AutomationValue::fromDouble(V_R8(&*real));
    }
    case ResultKind::Boolean: {
        std::optional<VARIANT> truth = changedTo(result, VT_BOOL);
        if (!truth) return std::nullopt;
        return AutomationValue::fromBoolean(V_BOOL(&*truth) != VARIANT_FALSE);
    }
    }
    return std::nullopt;
}

AutomationValue failed(ResultKind want) {
    recordCallOutcome(false);
    return emptyResult(want);
}

bool rejected(HRESULT hr) { return hr == RPC_E_CALL_REJECTED || hr == RPC_E_SERVERCALL_RETRYLATER; }

}  // namespace

Bstr bstrFromText(std::string_view text) {
    const std::wstring wide = wideFromText(text);
    return Bstr(SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
}

Text textFromWide(const wchar_t* wide, UINT length) {
    if (!wide || length == 0 || length > INT_MAX) return {};
    const int size = static_cast<int>(length);
    const int needed = WideCharToMultiByte(CP_ACP, 0, wide, size, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    Text text(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, size, text.data(), needed, nullptr, nullptr);
    return text;
}

AutomationObject wrapDispatch(IDispatch* dispatch) {
    if (!dispatch) return {};
    return AutomationObject::adopt(new ComPeer(ComPtr<IDispatch>::share(dispatch)));
}

IDispatch* dispatchOf(const AutomationObject& object) {
    auto* peer = dynamic_cast<ComPeer*>(object.peer());
    return peer ? peer->dispatch() : nullptr;
}

void ComDispatcher::beginThread() {
    ThreadEntry entry;
    entry.comStarted = SUCCEEDED(CoInitialize(nullptr));
    if (entry.comStarted) {
        ComPtr<IMessageFilter> filter = makeRetryFilter(policy_);
        entry.filterRegistered =
            SUCCEEDED(CoRegisterMessageFilter(filter.get(), entry.previousFilter.put()));
    }
    entries_.push_back(std::move(entry));
}

void ComDispatcher::endThread() {
    if (entries_.empty()) return;
    ThreadEntry entry = std::move(entries_.back());
    entries_.pop_back();
    if (entry.filterRegistered) {
        ComPtr<IMessageFilter> ours;
        CoRegisterMessageFilter(entry.previousFilter.get(), ours.put());
    }
    entry.previousFilter.reset();
    // A thread whose CoInitialize failed must not be ended once more than begun.
    if (entry.comStarted) CoUninitialize();
}

AutomationObject ComDispatcher::createObject(std::string_view programId) {
    const std::wstring name = wideFromText(programId);
    CLSID classId{};
    if (name.empty() || FAILED(CLSIDFromProgID(name.c_str(), &classId))) return {};
    ComPtr<IUnknown> object;
    HRESULT hr = CoCreateInstance(classId, nullptr, CLSCTX_ALL, IID_IUnknown, object.putVoid());
    if (hr == E_INVALIDARG) {
        hr = CoCreateInstance(classId, nullptr,
                              CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                              IID_IUnknown, object.putVoid());
    }
    if (FAILED(hr) || !object) return {};
    if (FAILED(OleRun(object.get()))) return {};
    ComPtr<IDispatch> dispatch;
    if (FAILED(object->QueryInterface(IID_IDispatch, dispatch.putVoid())) || !dispatch) return {};
    return AutomationObject::adopt(new ComPeer(std::move(dispatch)));
}

ComDispatcher::MemberIds ComDispatcher::membersNamed(ITypeInfo* info, std::string_view name) {
    std::string key = typeIdentity(info);
    const bool remembered = !key.empty();
    if (remembered) {
        key += name;
        if (auto known = known_.find(key); known != known_.end()) return known->second;
    }
    Candidates found;
    const std::wstring wide = wideFromText(name);
    const ComPtr<ITypeInfo> members = memberTypeInfo(ComPtr<ITypeInfo>::share(info));
    if (members && !wide.empty()) collectMembers(members.get(), wide, found, 0);
    if (remembered) known_.emplace(std::move(key), found);
    return found;
}

HRESULT ComDispatcher::invokeRetrying(IDispatch* dispatch, DISPID member, WORD kind,
                                      DISPPARAMS& params, VARIANT* result) {
    // The message filter retries rejections inside COM's own wait; a rejection that
    // still reaches us (no filter on this thread, or an in-process answer) gets the
    // same treatment, counted from the first try.
    const DWORD start = GetTickCount();
    for (;;) {
        ExcepInfo exception;
        UINT badArgument = 0;
        if (result) VariantClear(result);
        const HRESULT hr = dispatch->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, kind, &params,
                                            result, exception.get(), &badArgument);
        if (!rejected(hr)) return hr;
        const DWORD wait = policy_.delayAfter(GetTickCount() - start);
        if (wait == DWORD(-1)) return hr;
        Sleep(wait);
    }
}

AutomationValue ComDispatcher::invoke(const AutomationObject& target, Access access,
                                      std::string_view member, std::span<AutomationValue> arguments,
                                      ResultKind want) {
    IDispatch* dispatch = dispatchOf(target);
    if (!dispatch) return failed(want);
    UINT infoCount = 0;
    ComPtr<ITypeInfo> info;
    if (FAILED(dispatch->GetTypeInfoCount(&infoCount)) || infoCount == 0 ||
        FAILED(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put())) || !info)
        return failed(want);
    const std::optional<Member> found = chooseMember(membersNamed(info.get(), member), access);
    if (!found) return failed(want);

    ArgumentPack pack;
    if (!pack.build(arguments, found->kind)) return failed(want);
    const bool isPut = found->kind & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
    Variant result;
    if (FAILED(invokeRetrying(dispatch, found->id, found->kind, pack.params(),
                              isPut ? nullptr : result.get())))
        return failed(want);
    pack.copyBack(arguments);

    std::optional<AutomationValue> value = convertResult(*result.get(), want);
    if (!value) return failed(want);
    recordCallOutcome(true);
    return std::move(*value);
}

}  // namespace rulecore::word::com
