// With no "WORD.Application" registered, Word cannot be created and every
// operation fails quietly with its empty result.
#include <gtest/gtest.h>

#include "rulecore/word/platform_dispatcher.h"
#include "rulecore/word/word_session.h"
#include "tests/support/cp936.h"

namespace rulecore::word {
namespace {

TEST(WordAbsentTest, StartFailsAndEveryOperationReturnsItsEmptyResult) {
    std::unique_ptr<AutomationDispatcher> dispatcher = makePlatformDispatcher();
    WordSession session(*dispatcher);
    EXPECT_TRUE(dispatcher->createObject("WORD.Application").empty());
    session.startWord();
    EXPECT_TRUE(session.application().empty());
    EXPECT_TRUE(session.openDocument("C:\\template.doc").empty());
    EXPECT_EQ(session.replaceText(test::cp(u8"【甲方】"), test::cp(u8"乙"), 0, false), 0);
    EXPECT_FALSE(session.isVisible());
    EXPECT_FALSE(session.saveAs("C:\\out.doc"));
    EXPECT_FALSE(session.exportPdf("C:\\out.pdf"));
    session.printOut();
    session.quitWord();
    EXPECT_FALSE(lastCallSucceeded());
}

}  // namespace
}  // namespace rulecore::word
