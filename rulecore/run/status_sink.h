#pragma once

#include <optional>
#include <string_view>

namespace rulecore::run {

// The four moments a document run reports, in the order they come.
enum class RunMoment {
    Start,     // before Word is started
    Printing,  // before the print request
    Finished,  // after the wait
    Closed,    // after the quit requests
};

// Where a document run reports its progress.
class StatusSink {
public:
    virtual void tell(RunMoment moment) = 0;

protected:
    ~StatusSink() = default;
};

// The caption fillprint's status label takes at each moment; Closed clears it.
std::string_view statusLabelText(RunMoment moment);

// What fillrun writes to standard output at each moment, line break included;
// nothing at Start and Closed.
std::optional<std::string_view> consoleText(RunMoment moment);

// fillrun's sink: each line goes to standard output as one write, in the
// console's encoding.
class ConsoleStatusSink final : public StatusSink {
public:
    void tell(RunMoment moment) override;
};

}  // namespace rulecore::run
