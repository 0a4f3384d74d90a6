// A call that an out-of-process server rejects is tried again until it is taken.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rulecore/word/com/com_dispatcher_win.h"

namespace rulecore::word::com {
namespace {

constexpr wchar_t programId[] = L"RulecoreTest.BusyServer";
constexpr wchar_t classText[] = L"{8D2E4F61-7A3B-4C9D-8E1F-5A6B7C8D9E02}";
constexpr int rejections = 3;

bool setValue(const std::wstring& key, const std::wstring& value) {
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG status = RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return status == ERROR_SUCCESS;
}

// Registers the busy server, which lies beside this program, for this test only.
class BusyServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t path[MAX_PATH];
        const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring server(path, length);
        server = server.substr(0, server.find_last_of(L'\\') + 1) + L"busy_server.exe";
        const std::wstring classKey = std::wstring(L"CLSID\\") + classText;
        ASSERT_TRUE(setValue(std::wstring(programId) + L"\\CLSID", classText));
        ASSERT_TRUE(setValue(classKey + L"\\LocalServer32", L"\"" + server + L"\" " + std::to_wstring(rejections)));
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, programId);
        RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + classText).c_str());
    }
};

TEST_F(BusyServerTest, RejectedCallsAreRetriedUntilTheServerTakesThem) {
    ComDispatcher dispatcher;
    dispatcher.beginThread();
    {
        AutomationObject server = dispatcher.createObject("RulecoreTest.BusyServer");
        ASSERT_FALSE(server.empty());
        std::vector<AutomationValue> none;

        // Without retries the rejection shows: the call fails, quietly.
        ComDispatcher impatient(RetryPolicy{0, 0});
        impatient.beginThread();
        recordCallOutcome(true);
        EXPECT_EQ(impatient.invoke(server, Access::Read, "Count", none, ResultKind::Number).number, 0);
        EXPECT_FALSE(lastCallSucceeded());
        impatient.endThread();

        // With them, the same call gets through once the server takes calls again.
        const AutomationValue count = dispatcher.invoke(server, Access::Read, "Count", none, ResultKind::Number);
        EXPECT_TRUE(lastCallSucceeded());
        EXPECT_EQ(count.number, 7);
        EXPECT_EQ(dispatcher.invoke(server, Access::Read, "Rejected", none, ResultKind::Number).number, rejections);
        // The rejected call ran once, and nothing else was repeated.
        EXPECT_EQ(dispatcher.invoke(server, Access::Read, "Served", none, ResultKind::Number).number, 3);
    }
    dispatcher.endThread();
}

}  // namespace
}  // namespace rulecore::word::com
