// Member lookup through type information read from a real type library: dual
// interfaces from either side, a coclass, and a dispinterface.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rulecore/word/com/com_dispatcher_win.h"
#include "tests/com/fake_dispatch_win.h"

namespace rulecore::word::com {
namespace {

using test::fake::Arguments;
using test::fake::FakeDispatch;

// {3F1A6C20-8B7D-4E55-9C2A-1D0E6F4B7A01} and its neighbours, from typelib_probe.idl.
constexpr GUID dualInterface = {0x3f1a6c20, 0x8b7d, 0x4e55, {0x9c, 0x2a, 0x1d, 0x0e, 0x6f, 0x4b, 0x7a, 0x01}};
constexpr GUID coclass = {0x3f1a6c20, 0x8b7d, 0x4e55, {0x9c, 0x2a, 0x1d, 0x0e, 0x6f, 0x4b, 0x7a, 0x03}};
constexpr GUID dispinterface = {0x3f1a6c20, 0x8b7d, 0x4e55, {0x9c, 0x2a, 0x1d, 0x0e, 0x6f, 0x4b, 0x7a, 0x04}};

ComPtr<ITypeLib> probeLibrary() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring file(path, length);
    file = file.substr(0, file.find_last_of(L'\\') + 1) + L"typelib_probe.tlb";
    ComPtr<ITypeLib> library;
    if (FAILED(LoadTypeLibEx(file.c_str(), REGKIND_NONE, library.put()))) return {};
    return library;
}

TYPEKIND kindOf(ITypeInfo* info) {
    TypeAttr attr(info);
    return attr.get() ? attr.get()->typekind : TKIND_MAX;
}

// The other side of a dual interface.
ComPtr<ITypeInfo> otherSide(ITypeInfo* info) {
    HREFTYPE ref = 0;
    ComPtr<ITypeInfo> other;
    if (SUCCEEDED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref))) info->GetRefTypeInfo(ref, other.put());
    return other;
}

class Typed final : public FakeDispatch {
public:
    using FakeDispatch::FakeDispatch;
    std::vector<std::pair<DISPID, WORD>> calls;

protected:
    HRESULT call(DISPID id, WORD kind, const Arguments&, VARIANT* result) override {
        calls.emplace_back(id, kind);
        return test::fake::giveInteger(result, 5);
    }
};

class TypeLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        dispatcher.beginThread();
        library = probeLibrary();
        ASSERT_TRUE(library);
    }
    void TearDown() override {
        library.reset();
        dispatcher.endThread();
    }

    ComPtr<ITypeInfo> info(const GUID& id) {
        ComPtr<ITypeInfo> found;
        library->GetTypeInfoOfGuid(id, found.put());
        return found;
    }

    // The calls that reached an object with this type information.
    std::vector<std::pair<DISPID, WORD>> callsThrough(ComPtr<ITypeInfo> typeInfo, Access access,
                                                      const char* member) {
        Typed* object = new Typed(std::move(typeInfo));
        {
            AutomationObject wrapped = wrapDispatch(object);
            std::vector<AutomationValue> args{AutomationValue::fromText("x")};
            dispatcher.invoke(wrapped, access, member, args, ResultKind::Nothing);
        }
        std::vector<std::pair<DISPID, WORD>> calls = object->calls;
        object->Release();
        return calls;
    }

    ComDispatcher dispatcher;
    ComPtr<ITypeLib> library;
};

TEST_F(TypeLibraryTest, FindsMembersOfDualInterfacesCoclassesAndDispinterfaces) {
    const ComPtr<ITypeInfo> dispatchSide = info(dualInterface);
    ASSERT_TRUE(dispatchSide);
    ASSERT_EQ(kindOf(dispatchSide.get()), TKIND_DISPATCH);
    const ComPtr<ITypeInfo> vtableSide = otherSide(dispatchSide.get());
    ASSERT_TRUE(vtableSide);
    ASSERT_EQ(kindOf(vtableSide.get()), TKIND_INTERFACE);
    ASSERT_EQ(kindOf(info(coclass).get()), TKIND_COCLASS);

    using Calls = std::vector<std::pair<DISPID, WORD>>;
    const ComPtr<ITypeInfo> duals[] = {dispatchSide, vtableSide, info(coclass)};
    // Both sides of the dual interface share its identity, so the second one is
    // answered from what the first lookup found.
    for (const ComPtr<ITypeInfo>& dual : duals) {
        SCOPED_TRACE(kindOf(dual.get()));
        EXPECT_EQ(callsThrough(dual, Access::Write, "NAME"), (Calls{{1, DISPATCH_PROPERTYPUT}}));
        EXPECT_EQ(callsThrough(dual, Access::Call, "name"), (Calls{{1, DISPATCH_PROPERTYGET}}));
        EXPECT_EQ(callsThrough(dual, Access::Write, "shout"), (Calls{{2, DISPATCH_METHOD}}));
        // IDispatch's own members are not Word's.
        EXPECT_EQ(callsThrough(dual, Access::Call, "Invoke"), Calls{});
        EXPECT_EQ(callsThrough(dual, Access::Call, "Ping"), Calls{});
    }

    const ComPtr<ITypeInfo> plain = info(dispinterface);
    ASSERT_EQ(kindOf(plain.get()), TKIND_DISPATCH);
    EXPECT_EQ(callsThrough(plain, Access::Read, "size"), (Calls{{3, DISPATCH_PROPERTYGET}}));
    EXPECT_EQ(callsThrough(plain, Access::Write, "SIZE"), (Calls{{3, DISPATCH_PROPERTYPUT}}));
    // Found here though the dual interface has no "Ping": lookups are kept per type.
    EXPECT_EQ(callsThrough(plain, Access::Write, "Ping"), (Calls{{4, DISPATCH_METHOD}}));
}

}  // namespace
}  // namespace rulecore::word::com
