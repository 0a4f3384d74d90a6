// The COM binding of the automation contract, against automation objects of our
// own with real type information.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "rulecore/word/com/com_dispatcher_win.h"
#include "tests/com/fake_dispatch_win.h"
#include "tests/support/cp936.h"

namespace rulecore::word::com {
namespace {

using test::cp;
using test::fake::Arguments;
using test::fake::FakeDispatch;
using test::fake::Member;

enum Id : DISPID {
    NameId = 1,
    ShoutId,
    CountId,
    LevelId,
    BothMethodId,
    BothGetId,
    EchoId,
    SwapId,
    ResultId,
    ChildId,
    TakeId,
    BusyId,
    FailId,
};

constexpr Member probeMembers[] = {
    {L"Name", NameId, DISPATCH_PROPERTYGET},
    {L"Name", NameId, DISPATCH_PROPERTYPUT},
    {L"Shout", ShoutId, DISPATCH_METHOD},
    {L"Count", CountId, DISPATCH_PROPERTYGET},
    {L"Level", LevelId, DISPATCH_PROPERTYPUT},
    {L"Both", BothMethodId, DISPATCH_METHOD},
    {L"Both", BothGetId, DISPATCH_PROPERTYGET},
    {L"Echo", EchoId, DISPATCH_METHOD},
    {L"Swap", SwapId, DISPATCH_METHOD},
    {L"Result", ResultId, DISPATCH_PROPERTYGET},
    {L"Child", ChildId, DISPATCH_PROPERTYGET},
    {L"Take", TakeId, DISPATCH_METHOD},
    {L"Busy", BusyId, DISPATCH_METHOD},
    {L"Fail", FailId, DISPATCH_METHOD},
};

// What one argument looked like when it arrived.
struct Seen {
    VARTYPE type;
    std::wstring text;  // its value as text, for the scalar kinds
    bool operator==(const Seen&) const = default;
};

class Probe final : public FakeDispatch {
public:
    explicit Probe(bool withTypeInfo = true)
        : FakeDispatch(withTypeInfo ? test::fake::typeInfoFor(probeMembers) : ComPtr<ITypeInfo>()) {}

    DISPID lastId = 0;
    WORD lastKind = 0;
    UINT lastNamed = 0;
    std::vector<Seen> lastArguments;
    std::wstring name;
    LONG level = 0;
    word::com::Variant resultToGive;
    IDispatch* child = nullptr;
    IDispatch* taken = reinterpret_cast<IDispatch*>(1);
    int busyCalls = 0;
    int rejectionsLeft = 0;
    HRESULT rejection = RPC_E_SERVERCALL_RETRYLATER;

protected:
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD kind, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* bad) override {
        lastNamed = params ? params->cNamedArgs : 0;
        if (lastNamed == 1 && params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) lastNamed = 99;
        return FakeDispatch::Invoke(id, iid, locale, kind, params, result, exception, bad);
    }

    HRESULT call(DISPID id, WORD kind, const Arguments& args, VARIANT* result) override {
        if (id == BusyId && rejectionsLeft > 0) {
            ++busyCalls;
            --rejectionsLeft;
            return rejection;
        }
        lastId = id;
        lastKind = kind;
        lastArguments.clear();
        for (UINT i = 0; i < args.count(); ++i) {
            const VARTYPE type = V_VT(args.at(i));
            const bool scalar = type != VT_ERROR && type != VT_DISPATCH && type != VT_EMPTY;
            lastArguments.push_back({type, scalar ? args.text(i) : std::wstring()});
        }
        switch (id) {
        case NameId:
            if (kind == DISPATCH_PROPERTYPUT) {
                name = args.text(0);
                return S_OK;
            }
            return test::fake::giveText(result, name);
        case ShoutId: return S_OK;
        case CountId: return test::fake::giveInteger(result, 7);
        case LevelId: level = args.integer(0); return S_OK;
        case BothMethodId:
        case BothGetId:
        case EchoId: return test::fake::giveInteger(result, static_cast<LONG>(args.count()));
        case SwapId: return swap(args);
        case ResultId: return result ? VariantCopy(result, resultToGive.get()) : S_OK;
        case ChildId: return test::fake::giveObject(result, child);
        case TakeId: {
            VARIANT* v = args.at(0);
            taken = v && V_VT(v) == VT_DISPATCH ? V_DISPATCH(v) : reinterpret_cast<IDispatch*>(1);
            return S_OK;
        }
        case BusyId: ++busyCalls; return S_OK;
        case FailId: return DISP_E_EXCEPTION;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    // Writes through every by-reference argument, the way Word's Find.Execute may.
    static HRESULT swap(const Arguments& args) {
        for (UINT i = 0; i < args.count(); ++i) {
            VARIANT* v = args.at(i);
            switch (V_VT(v)) {
            case VT_BYREF | VT_I4: *V_I4REF(v) += 1; break;
            case VT_BYREF | VT_BOOL: *V_BOOLREF(v) = *V_BOOLREF(v) ? VARIANT_FALSE : VARIANT_TRUE; break;
            case VT_BYREF | VT_R8: *V_R8REF(v) *= 2; break;
            case VT_BYREF | VT_BSTR:
                SysFreeString(*V_BSTRREF(v));
                *V_BSTRREF(v) = SysAllocString(L"已改");
                break;
            case VT_BYREF | VT_VARIANT:
                VariantClear(V_VARIANTREF(v));
                V_VT(V_VARIANTREF(v)) = VT_I4;
                V_I4(V_VARIANTREF(v)) = 42;
                break;
            default: break;
            }
        }
        return S_OK;
    }
};

// A peer that some other engine made.
class ForeignPeer final : public AutomationPeer {
public:
    void addRef() override { ++count; }
    void release() override { --count; }
    int count = 0;
};

class ComDispatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        dispatcher.beginThread();
        probe = new Probe();
        object = wrapDispatch(probe);
    }
    void TearDown() override {
        object.release();
        // Every reference the binding took has been given back.
        EXPECT_EQ(probe->references(), 1);
        probe->Release();
        dispatcher.endThread();
    }

    AutomationValue invoke(Access access, std::string_view member, std::vector<AutomationValue> args = {},
                           ResultKind want = ResultKind::Value) {
        recordCallOutcome(false);
        return dispatcher.invoke(object, access, member, args, want);
    }

    ComDispatcher dispatcher{RetryPolicy{400, 20}};
    Probe* probe = nullptr;
    AutomationObject object;
};

TEST_F(ComDispatcherTest, LooksMembersUpWithoutRegardToCaseAndRoundTripsChineseTexts) {
    const Text chinese = cp(u8"甲方：北京某某有限公司");
    invoke(Access::Write, "nAME", {AutomationValue::fromText(chinese)}, ResultKind::Nothing);
    ASSERT_TRUE(lastCallSucceeded());
    EXPECT_EQ(probe->name, L"甲方：北京某某有限公司");
    EXPECT_EQ(probe->lastKind, DISPATCH_PROPERTYPUT);

    const AutomationValue read = invoke(Access::Read, "NAME", {}, ResultKind::Text);
    ASSERT_TRUE(lastCallSucceeded());
    EXPECT_EQ(test::utf8(read.text), test::utf8(chinese));

    invoke(Access::Write, "name", {AutomationValue::fromText({})}, ResultKind::Nothing);
    EXPECT_TRUE(lastCallSucceeded());
    EXPECT_EQ(probe->name, L"");
}

TEST_F(ComDispatcherTest, TriesMemberKindsInTheOrderTheAccessDecides) {
    struct Case {
        Access access;
        const char* member;
        std::optional<DISPID> id;  // none: the call fails
        WORD kind;
        UINT named;
    };
    const Case cases[] = {
        {Access::Read, "count", CountId, DISPATCH_PROPERTYGET, 0},
        {Access::Call, "Count", CountId, DISPATCH_PROPERTYGET, 0},  // a property through a call
        {Access::Write, "shout", ShoutId, DISPATCH_METHOD, 0},      // a method through a write
        {Access::Call, "LEVEL", LevelId, DISPATCH_PROPERTYPUT, 1},
        {Access::Read, "both", BothGetId, DISPATCH_PROPERTYGET, 0},
        {Access::Call, "both", BothMethodId, DISPATCH_METHOD, 0},
        {Access::Write, "Both", BothMethodId, DISPATCH_METHOD, 0},
        {Access::Read, "Level", std::nullopt, 0, 0},
        {Access::Write, "Count", std::nullopt, 0, 0},
        {Access::Call, "Nothing", std::nullopt, 0, 0},
        {Access::Call, "", std::nullopt, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.member);
        probe->lastId = 0;
        invoke(c.access, c.member, {AutomationValue::fromInteger(3)});
        EXPECT_EQ(lastCallSucceeded(), c.id.has_value());
        EXPECT_EQ(probe->lastId, c.id.value_or(0));
        if (!c.id) continue;
        EXPECT_EQ(probe->lastKind, c.kind);
        EXPECT_EQ(probe->lastNamed, c.named);
        EXPECT_EQ(probe->lastArguments, (std::vector<Seen>{{VT_I4, L"3"}}));
    }
    EXPECT_EQ(probe->level, 3);
}

TEST_F(ComDispatcherTest, SendsArgumentsInOrderWithMissingOnesAndDropsTrailingMissingOnes) {
    const Seen missing{VT_ERROR, L""};
    struct Case {
        const char* what;
        std::vector<AutomationValue> args;
        std::vector<Seen> seen;
    };
    const Case cases[] = {
        {"gap",
         {AutomationValue::fromInteger(1), AutomationValue::missing(), AutomationValue::fromText("a")},
         {{VT_I4, L"1"}, missing, {VT_BSTR, L"a"}}},
        {"trailing",
         {AutomationValue::fromInteger(1), AutomationValue::missing(), AutomationValue::missing()},
         {{VT_I4, L"1"}}},
        {"only missing", {AutomationValue::missing()}, {}},
        {"kinds",
         {AutomationValue::empty(), AutomationValue::fromBoolean(true), AutomationValue::fromBoolean(false),
          AutomationValue::fromDouble(2.5), AutomationValue::fromInteger(-7)},
         {{VT_EMPTY, L""}, {VT_BOOL, L"-1"}, {VT_BOOL, L"0"}, {VT_R8, L"2.5"}, {VT_I4, L"-7"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<AutomationValue> args;
        for (const AutomationValue& a : c.args) args.push_back(a);
        const AutomationValue count = invoke(Access::Call, "Echo", std::move(args), ResultKind::Number);
        ASSERT_TRUE(lastCallSucceeded());
        EXPECT_EQ(count.number, static_cast<double>(c.seen.size()));
        EXPECT_EQ(probe->lastArguments, c.seen);
    }
    // A missing argument is the missing-optional error code, nothing else.
    invoke(Access::Call, "Echo", {AutomationValue::missing(), AutomationValue::fromInteger(0)});
    ASSERT_EQ(probe->lastArguments.size(), 2u);
}

TEST_F(ComDispatcherTest, PassesByReferenceAndReadsWhatTheCalleeWroteBack) {
    std::vector<AutomationValue> args;
    args.push_back(AutomationValue::fromInteger(5).passedByReference());
    args.push_back(AutomationValue::fromText(cp(u8"原文")).passedByReference());
    args.push_back(AutomationValue::fromBoolean(true).passedByReference());
    args.push_back(AutomationValue::fromDouble(1.5).passedByReference());
    args.push_back(AutomationValue::empty().passedByReference());
    args.push_back(AutomationValue::missing().passedByReference());
    args.push_back(AutomationValue::fromInteger(9));
    recordCallOutcome(false);
    dispatcher.invoke(object, Access::Call, "Swap", args, ResultKind::Nothing);
    ASSERT_TRUE(lastCallSucceeded());

    std::vector<VARTYPE> types;
    for (const Seen& s : probe->lastArguments) types.push_back(s.type);
    EXPECT_EQ(types, (std::vector<VARTYPE>{VT_BYREF | VT_I4, VT_BYREF | VT_BSTR, VT_BYREF | VT_BOOL,
                                           VT_BYREF | VT_R8, VT_BYREF | VT_VARIANT, VT_ERROR, VT_I4}));
    EXPECT_EQ(probe->lastArguments[1].text, L"原文");
    EXPECT_EQ(args[0].integer, 6);
    EXPECT_EQ(test::utf8(args[1].text), "已改");
    EXPECT_FALSE(args[2].boolean);
    EXPECT_EQ(args[3].number, 3.0);
    EXPECT_EQ(args[4].kind, ValueKind::Integer);
    EXPECT_EQ(args[4].integer, 42);
    EXPECT_TRUE(args[4].byReference);
    EXPECT_EQ(args[5].kind, ValueKind::Missing);
    EXPECT_EQ(args[6].integer, 9);
}

TEST_F(ComDispatcherTest, ConvertsResultsToTheKindAskedForOrFails) {
    Probe* child = new Probe();
    probe->child = child;
    struct Case {
        const char* what;
        VARTYPE type;
        const wchar_t* text;  // the value given, converted from text
        ResultKind want;
        bool succeeds;
        ValueKind kind;
        double number;  // of an integer or a double
        const char* asText;
    };
    const Case cases[] = {
        {"integer as number", VT_I4, L"7", ResultKind::Number, true, ValueKind::Double, 7, ""},
        {"double kept whole", VT_R8, L"-2.75", ResultKind::Number, true, ValueKind::Double, -2.75, ""},
        {"numeric text", VT_BSTR, L"12", ResultKind::Number, true, ValueKind::Double, 12, ""},
        {"text as number", VT_BSTR, L"abc", ResultKind::Number, false, ValueKind::Double, 0, ""},
        {"text as object", VT_BSTR, L"x", ResultKind::Object, false, ValueKind::Object, 0, ""},
        {"empty as object", VT_EMPTY, L"", ResultKind::Object, false, ValueKind::Object, 0, ""},
        {"zero as boolean", VT_I4, L"0", ResultKind::Boolean, true, ValueKind::Boolean, 0, ""},
        {"text as boolean", VT_BSTR, L"abc", ResultKind::Boolean, false, ValueKind::Boolean, 0, ""},
        {"short as value", VT_I2, L"3", ResultKind::Value, true, ValueKind::Integer, 3, ""},
        {"double as value", VT_R8, L"0.5", ResultKind::Value, true, ValueKind::Double, 0.5, ""},
        {"number as text", VT_I4, L"15", ResultKind::Text, true, ValueKind::Text, 0, "15"},
        {"chinese text", VT_BSTR, L"乙方", ResultKind::Text, true, ValueKind::Text, 0, "乙方"},
        {"error as value", VT_ERROR, L"", ResultKind::Value, false, ValueKind::Empty, 0, ""},
        {"error as text", VT_ERROR, L"", ResultKind::Text, false, ValueKind::Text, 0, ""},
        {"anything as nothing", VT_ERROR, L"", ResultKind::Nothing, true, ValueKind::Empty, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VARIANT* given = probe->resultToGive.get();
        probe->resultToGive.clear();
        if (c.type == VT_ERROR) {
            V_VT(given) = VT_ERROR;
            V_ERROR(given) = E_FAIL;
        } else if (c.type != VT_EMPTY) {
            word::com::Variant source;
            V_VT(source.get()) = VT_BSTR;
            V_BSTR(source.get()) = SysAllocString(c.text);
            ASSERT_HRESULT_SUCCEEDED(VariantChangeType(given, source.get(), 0, c.type));
        }
        const AutomationValue value = invoke(Access::Read, "result", {}, c.want);
        EXPECT_EQ(lastCallSucceeded(), c.succeeds);
        EXPECT_EQ(value.kind, c.kind);
        EXPECT_EQ(value.kind == ValueKind::Integer ? value.integer : value.number, c.number);
        EXPECT_EQ(test::utf8(value.text), c.asText);
        EXPECT_TRUE(value.object.empty());
    }

    // An object whose default value is not text cannot be read as text.
    invoke(Access::Read, "Child", {}, ResultKind::Text);
    EXPECT_FALSE(lastCallSucceeded());
    probe->resultToGive.clear();
    probe->child = nullptr;
    child->Release();
}

TEST_F(ComDispatcherTest, HandsOutObjectsAndTakesThemAsArguments) {
    Probe* child = new Probe();
    probe->child = child;
    {
        AutomationValue got = invoke(Access::Read, "Child", {}, ResultKind::Object);
        ASSERT_TRUE(lastCallSucceeded());
        ASSERT_EQ(got.kind, ValueKind::Object);
        ASSERT_FALSE(got.object.empty());
        EXPECT_EQ(dispatchOf(got.object), child);
        AutomationObject copy = got.object;
        std::vector<AutomationValue> none;
        EXPECT_EQ(dispatcher.invoke(copy, Access::Read, "Count", none, ResultKind::Number).number, 7);

        invoke(Access::Call, "Take", {AutomationValue::fromObject(got.object)}, ResultKind::Nothing);
        EXPECT_TRUE(lastCallSucceeded());
        EXPECT_EQ(probe->taken, child);
        invoke(Access::Call, "Take", {AutomationValue::fromObject({})}, ResultKind::Nothing);
        EXPECT_TRUE(lastCallSucceeded());
        EXPECT_EQ(probe->taken, nullptr);
    }
    // The child's count is back where it was: no reference leaked on any path.
    EXPECT_EQ(child->references(), 1);

    // A null object is an empty object, and reading it succeeds.
    probe->child = nullptr;
    const AutomationValue nothing = invoke(Access::Read, "Child", {}, ResultKind::Object);
    EXPECT_TRUE(lastCallSucceeded());
    EXPECT_TRUE(nothing.object.empty());
    child->Release();
}

TEST_F(ComDispatcherTest, FailsQuietlyOnEmptyObjectsObjectsWithoutTypeInformationAndRaisedErrors) {
    Probe* blind = new Probe(false);
    AutomationObject withoutInfo = wrapDispatch(blind);
    const ResultKind kinds[] = {ResultKind::Nothing, ResultKind::Object, ResultKind::Value,
                                ResultKind::Text,    ResultKind::Number, ResultKind::Boolean};
    for (ResultKind want : kinds) {
        const AutomationObject empty;
        const AutomationObject* targets[] = {&withoutInfo, &empty};
        for (const AutomationObject* target : targets) {
            SCOPED_TRACE(static_cast<int>(want));
            std::vector<AutomationValue> args{AutomationValue::fromInteger(1)};
            recordCallOutcome(true);
            const AutomationValue value =
                dispatcher.invoke(*target, Access::Read, "Count", args, want);
            EXPECT_FALSE(lastCallSucceeded());
            EXPECT_EQ(value.kind, emptyResult(want).kind);
            EXPECT_TRUE(value.object.empty());
            EXPECT_EQ(value.number, 0);
            EXPECT_TRUE(value.text.empty());
        }
    }
    EXPECT_EQ(blind->lastId, 0);
    withoutInfo.release();
    EXPECT_EQ(blind->references(), 1);
    blind->Release();

    invoke(Access::Call, "Fail", {}, ResultKind::Nothing);
    EXPECT_FALSE(lastCallSucceeded());
    EXPECT_EQ(probe->lastId, FailId);

    // An object of another engine can neither be called nor passed to COM.
    ForeignPeer foreign;
    foreign.addRef();
    const AutomationObject stranger = AutomationObject::adopt(&foreign);
    probe->lastId = 0;
    invoke(Access::Call, "Take", {AutomationValue::fromObject(stranger)}, ResultKind::Nothing);
    EXPECT_FALSE(lastCallSucceeded());
    std::vector<AutomationValue> none;
    recordCallOutcome(true);
    dispatcher.invoke(stranger, Access::Read, "Count", none, ResultKind::Number);
    EXPECT_FALSE(lastCallSucceeded());
    EXPECT_EQ(probe->lastId, 0);
}

TEST_F(ComDispatcherTest, RetriesOnlyTheRejectedCallUntilItIsTaken) {
    for (HRESULT rejection : {RPC_E_SERVERCALL_RETRYLATER, RPC_E_CALL_REJECTED}) {
        probe->rejection = rejection;
        probe->busyCalls = 0;
        probe->rejectionsLeft = 3;
        invoke(Access::Call, "Busy", {}, ResultKind::Nothing);
        EXPECT_TRUE(lastCallSucceeded());
        EXPECT_EQ(probe->busyCalls, 4);
    }
    // A server that never takes the call: given up after the limit, quietly.
    probe->busyCalls = 0;
    probe->rejectionsLeft = 1 << 30;
    invoke(Access::Call, "Busy", {}, ResultKind::Nothing);
    EXPECT_FALSE(lastCallSucceeded());
    EXPECT_GT(probe->busyCalls, 1);
    probe->rejectionsLeft = 0;
    // Other failures are not retried.
    probe->lastId = 0;
    invoke(Access::Call, "Fail", {}, ResultKind::Nothing);
    EXPECT_EQ(probe->lastId, FailId);
}

TEST(RetryFilterTest, RetriesRejectedCallsForSixtySecondsThenGivesUp) {
    const ComPtr<IMessageFilter> filter = makeRetryFilter(RetryPolicy{});
    struct Case {
        DWORD elapsed;
        DWORD rejectType;
        DWORD answer;
    };
    const Case cases[] = {
        {0, SERVERCALL_RETRYLATER, 150},     {59999, SERVERCALL_RETRYLATER, 150},
        {60000, SERVERCALL_RETRYLATER, DWORD(-1)}, {0, SERVERCALL_REJECTED, 150},
        {60001, SERVERCALL_REJECTED, DWORD(-1)},   {0, SERVERCALL_ISHANDLED, DWORD(-1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.elapsed);
        EXPECT_EQ(filter->RetryRejectedCall(nullptr, c.elapsed, c.rejectType), c.answer);
    }
    EXPECT_EQ(filter->HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 0, nullptr), DWORD(SERVERCALL_ISHANDLED));
    EXPECT_EQ(filter->MessagePending(nullptr, 0, PENDINGTYPE_TOPLEVEL), DWORD(PENDINGMSG_WAITDEFPROCESS));
}

// The filter registered for the thread, borrowed back and put in place again.
ComPtr<IMessageFilter> currentFilter() {
    ComPtr<IMessageFilter> current;
    if (FAILED(CoRegisterMessageFilter(nullptr, current.put()))) return {};
    ComPtr<IMessageFilter> none;
    CoRegisterMessageFilter(current.get(), none.put());
    return current;
}

TEST(RetryFilterTest, EachThreadOfASessionHasTheFilterAndGetsItsOwnBackAfter) {
    ComDispatcher dispatcher;
    dispatcher.beginThread();
    const ComPtr<IMessageFilter> outer = currentFilter();
    ASSERT_TRUE(outer);
    EXPECT_EQ(outer->RetryRejectedCall(nullptr, 0, SERVERCALL_RETRYLATER), 150u);

    ComDispatcher nested(RetryPolicy{1000, 100});
    nested.beginThread();
    const ComPtr<IMessageFilter> inner = currentFilter();
    ASSERT_TRUE(inner);
    EXPECT_EQ(inner->RetryRejectedCall(nullptr, 0, SERVERCALL_RETRYLATER), 100u);
    nested.endThread();
    EXPECT_EQ(currentFilter().get(), outer.get());

    dispatcher.endThread();
    CoInitialize(nullptr);
    EXPECT_FALSE(currentFilter());
    CoUninitialize();
}

TEST(RetryFilterTest, AThreadWhoseCoInitializeFailedIsNotEndedByTheSession) {
    std::thread([] {
        // COM already runs in the multithreaded apartment, so CoInitialize fails.
        ASSERT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        ComDispatcher dispatcher;
        dispatcher.beginThread();
        dispatcher.endThread();
        // Still initialised once: this call adds a second count rather than a first.
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
        CoUninitialize();
        CoUninitialize();
    }).join();
}

TEST(CreateObjectTest, NothingIsCreatedFromAnUnknownProgramIdentifier) {
    ComDispatcher dispatcher;
    dispatcher.beginThread();
    EXPECT_TRUE(dispatcher.createObject("RulecoreNoSuch.Application").empty());
    EXPECT_TRUE(dispatcher.createObject("").empty());
    dispatcher.endThread();
}

}  // namespace
}  // namespace rulecore::word::com
