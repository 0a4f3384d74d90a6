#pragma once

#include "rulecore/rules/expander.h"

namespace rulecheck {

// A clock that always reads the same moment, so previews of date and time are
// repeatable.
class FixedClock final : public rulecore::Clock {
public:
    explicit FixedClock(rulecore::LocalTime moment) : moment_(moment) {}
    rulecore::LocalTime now() override { return moment_; }

private:
    rulecore::LocalTime moment_;
};

}  // namespace rulecheck
