#include "rulecore/run/status_sink.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/support/cp936.h"

namespace {

using rulecore::run::RunMoment;
using rulecore::test::cp;

TEST(StatusSink, EachFrontEndShowsItsTextAtEachMoment) {
    struct MomentCase {
        RunMoment moment;
        std::string label;
        std::optional<std::string> console;
    };
    const MomentCase cases[] = {
        {RunMoment::Start, cp(u8"载入数据"), std::nullopt},
        {RunMoment::Printing, cp(u8"正在打印"), cp(u8"正在准备打印...") + "\r\n"},
        {RunMoment::Finished, cp(u8"处理结束！"), cp(u8"处理结束！") + "\r\n"},
        {RunMoment::Closed, "", std::nullopt},
    };
    for (const MomentCase& c : cases) {
        const int moment = static_cast<int>(c.moment);
        EXPECT_EQ(rulecore::run::statusLabelText(c.moment), c.label) << moment;
        const auto console = rulecore::run::consoleText(c.moment);
        EXPECT_EQ(console ? std::optional<std::string>(*console) : std::nullopt, c.console) << moment;
    }
}

}  // namespace
