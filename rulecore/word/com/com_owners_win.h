#pragma once

// Owners for the COM and OLE Automation handles the binding touches, so that no
// early return leaks a reference, a string or a variant, and none is freed twice.
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <utility>

namespace rulecore::word::com {

// A counted interface pointer (MinGW has no ATL). The pointer it holds carries one
// count that this owner gives back.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a count the caller already holds.
    explicit ComPtr(T* adopted) : p_(adopted) {}
    // Adds a count of its own.
    static ComPtr share(T* p) {
        if (p) p->AddRef();
        return ComPtr(p);
    }
    ComPtr(const ComPtr& other) : p_(other.p_) {
        if (p_) p_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() { reset(); }

    void reset() {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out-parameters: drops what was held and hands out the slot.
    T** put() {
        reset();
        return &p_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    T* detach() { return std::exchange(p_, nullptr); }

private:
    T* p_ = nullptr;
};

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(BSTR adopted) : b_(adopted) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : b_(std::exchange(other.b_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        std::swap(b_, other.b_);
        return *this;
    }
    ~Bstr() { SysFreeString(b_); }

    BSTR get() const { return b_; }
    BSTR* put() {
        SysFreeString(std::exchange(b_, nullptr));
        return &b_;
    }
    BSTR detach() { return std::exchange(b_, nullptr); }
    UINT length() const { return SysStringLen(b_); }

private:
    BSTR b_ = nullptr;
};

class Variant {
public:
    Variant() { VariantInit(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&v_); }

    VARIANT* get() { return &v_; }
    const VARIANT* get() const { return &v_; }
    VARTYPE type() const { return V_VT(&v_); }
    void clear() { VariantClear(&v_); }

private:
    VARIANT v_;
};

// The strings an Invoke may fill in on an exception.
class ExcepInfo {
public:
    ExcepInfo() = default;
    ExcepInfo(const ExcepInfo&) = delete;
    ExcepInfo& operator=(const ExcepInfo&) = delete;
    ~ExcepInfo() { clear(); }

    EXCEPINFO* get() { return &e_; }
    void clear() {
        SysFreeString(e_.bstrSource);
        SysFreeString(e_.bstrDescription);
        SysFreeString(e_.bstrHelpFile);
        e_ = EXCEPINFO{};
    }

private:
    EXCEPINFO e_{};
};

// The descriptions an ITypeInfo lends out and wants back.
class TypeAttr {
public:
    explicit TypeAttr(ITypeInfo* info) : info_(info) {
        if (FAILED(info_->GetTypeAttr(&attr_))) attr_ = nullptr;
    }
    TypeAttr(const TypeAttr&) = delete;
    TypeAttr& operator=(const TypeAttr&) = delete;
    ~TypeAttr() {
        if (attr_) info_->ReleaseTypeAttr(attr_);
    }
    const TYPEATTR* get() const { return attr_; }

private:
    ITypeInfo* info_;
    TYPEATTR* attr_ = nullptr;
};

class FuncDesc {
public:
    FuncDesc(ITypeInfo* info, UINT index) : info_(info) {
        if (FAILED(info_->GetFuncDesc(index, &desc_))) desc_ = nullptr;
    }
    FuncDesc(const FuncDesc&) = delete;
    FuncDesc& operator=(const FuncDesc&) = delete;
    ~FuncDesc() {
        if (desc_) info_->ReleaseFuncDesc(desc_);
    }
    const FUNCDESC* get() const { return desc_; }

private:
    ITypeInfo* info_;
    FUNCDESC* desc_ = nullptr;
};

class VarDesc {
public:
    VarDesc(ITypeInfo* info, UINT index) : info_(info) {
        if (FAILED(info_->GetVarDesc(index, &desc_))) desc_ = nullptr;
    }
    VarDesc(const VarDesc&) = delete;
    VarDesc& operator=(const VarDesc&) = delete;
    ~VarDesc() {
        if (desc_) info_->ReleaseVarDesc(desc_);
    }
    const VARDESC* get() const { return desc_; }

private:
    ITypeInfo* info_;
    VARDESC* desc_ = nullptr;
};

}  // namespace rulecore::word::com
