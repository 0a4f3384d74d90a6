// Starting, bounding and ending the office; member lookup under the call contract.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <chrono>

#include "rulecore/word/uno/uno_engine.h"
#include "rulecore/word/word_session.h"
#include "tests/uno/office_files.h"

namespace rulecore {
namespace {

using word::Access;
using word::AutomationValue;
using word::ResultKind;

std::vector<int> ourOffices() { return uno_test::processesMentioning(uno_test::officeMarkerFor(getpid())); }

TEST(EngineLifecycle, NoOfficeOutlivesTheRun) {
    {
        // Quit ends it.
        auto dispatcher = word::uno::makeEngineDispatcher();
        word::WordSession session(*dispatcher);
        session.startWord();
        ASSERT_TRUE(session.application());
        EXPECT_FALSE(ourOffices().empty());
        EXPECT_TRUE(session.newDocument());
        session.quitWord();
        EXPECT_TRUE(word::lastCallSucceeded());
        EXPECT_TRUE(ourOffices().empty());
        // Asking again after the office has gone fails quietly.
        session.quitWord();
        EXPECT_FALSE(word::lastCallSucceeded());
    }
    {
        // Without Quit, the end of the dispatcher ends it.
        auto dispatcher = word::uno::makeEngineDispatcher();
        {
            word::WordSession session(*dispatcher);
            session.startWord();
            ASSERT_TRUE(session.newDocument());
        }
        EXPECT_FALSE(ourOffices().empty());
        dispatcher.reset();
    }
    EXPECT_TRUE(ourOffices().empty());
}

TEST(EngineLifecycle, AHungCallEndsTheOfficeAndLaterCallsFailQuietly) {
    word::uno::EngineOptions options;
    options.callBound = std::chrono::milliseconds(3000);
    auto dispatcher = word::uno::makeEngineDispatcher(options);
    word::WordSession session(*dispatcher);
    session.startWord();
    ASSERT_TRUE(session.newDocument());
    for (int pid : ourOffices()) kill(pid, SIGSTOP);

    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(session.documentText(), "");
    EXPECT_FALSE(word::lastCallSucceeded());
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(60));
    EXPECT_TRUE(ourOffices().empty());
    EXPECT_FALSE(session.newDocument());
    session.quitWord();
    EXPECT_FALSE(word::lastCallSucceeded());
}

class EngineCalls : public ::testing::Test {
protected:
    void SetUp() override {
        dispatcher = word::uno::makeEngineDispatcher();
        application = dispatcher->createObject("WORD.Application");
        ASSERT_TRUE(application);
    }
    void TearDown() override {
        if (application) call(application, Access::Call, "Quit", {}, ResultKind::Nothing);
    }
    AutomationValue call(const word::AutomationObject& target, Access access, std::string_view member,
                         std::span<AutomationValue> arguments, ResultKind want) {
        return dispatcher->invoke(target, access, member, arguments, want);
    }
    std::unique_ptr<word::AutomationDispatcher> dispatcher;
    word::AutomationObject application;
};

TEST_F(EngineCalls, MembersAreFoundWithoutRegardToCaseAndByAccessKind) {
    AutomationValue documents = call(application, Access::Read, "dOcUmEnTs", {}, ResultKind::Object);
    ASSERT_TRUE(word::lastCallSucceeded());
    AutomationValue document = call(documents.object, Access::Call, "add", {}, ResultKind::Object);
    ASSERT_TRUE(word::lastCallSucceeded());

    // A property reached through a call, and a method reached through a write.
    AutomationValue tables = call(document.object, Access::Call, "Tables", {}, ResultKind::Object);
    EXPECT_TRUE(word::lastCallSucceeded());
    AutomationValue count = call(tables.object, Access::Read, "count", {}, ResultKind::Number);
    EXPECT_TRUE(word::lastCallSucceeded());
    EXPECT_EQ(count.number, 0.0);
    AutomationValue content = call(document.object, Access::Read, "Content", {}, ResultKind::Object);
    std::array text{AutomationValue::fromText("abc")};
    call(content.object, Access::Write, "TEXT", text, ResultKind::Nothing);
    EXPECT_TRUE(word::lastCallSucceeded());
    // The range now spans the text written into it.
    EXPECT_EQ(call(content.object, Access::Read, "Text", {}, ResultKind::Text).text, "abc\r");
    EXPECT_EQ(call(content.object, Access::Read, "End", {}, ResultKind::Number).number, 3.0);
    std::array collapseEnd{AutomationValue::fromInteger(0)};
    call(content.object, Access::Write, "Collapse", collapseEnd, ResultKind::Nothing);
    EXPECT_TRUE(word::lastCallSucceeded());

    // What cannot be reached or converted fails, with the empty result.
    const struct {
        const char* member;
        Access access;
        ResultKind want;
    } failing[] = {{"NoSuchMember", Access::Read, ResultKind::Object},
                   {"Content", Access::Write, ResultKind::Nothing},
                   {"Saved", Access::Read, ResultKind::Object},
                   {"PrintPreview", Access::Call, ResultKind::Nothing}};
    for (const auto& f : failing) {
        SCOPED_TRACE(f.member);
        AutomationValue result = call(document.object, f.access, f.member, {}, f.want);
        EXPECT_FALSE(word::lastCallSucceeded());
        EXPECT_TRUE(result.object.empty());
    }
    AutomationValue none = call({}, Access::Read, "Documents", {}, ResultKind::Object);
    EXPECT_FALSE(word::lastCallSucceeded());
    EXPECT_TRUE(dispatcher->createObject("Excel.Application").empty());
}

}  // namespace
}  // namespace rulecore
