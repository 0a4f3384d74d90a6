#pragma once

#include <chrono>
#include <string>
#include <vector>

// The office runs as a child process in a process group of its own, because its
// launcher starts the real office program as a further child: ending the group
// ends both.
namespace rulecore::word::uno {

class OfficeProcess {
public:
    OfficeProcess() = default;
    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;
    // Kills whatever is left of the group.
    ~OfficeProcess();

    // Starts program (looked up on PATH when it has no '/') with arguments, its
    // output going nowhere. leftovers names a folder the office uses that goes
    // with it if this program dies first. False when it cannot be started.
    bool start(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& leftovers = {});
    bool started() const { return group_ > 0; }
    // Whether the launched process still runs (it outlives the office it launched).
    bool running();
    // Waits until every process of the group has ended, up to the deadline.
    bool waitGone(std::chrono::milliseconds deadline);
    // Ends every process of the group at once and reaps the launcher.
    void kill();

private:
    void reap(bool block);
    void startGuardian(const std::string& leftovers);
    void stopGuardian();
    int group_ = 0;
    int guardian_ = 0;
    bool reaped_ = false;
};

// A fresh private directory for the office's profile; empty on failure.
std::string makeProfileDirectory();
void removeDirectory(const std::string& path);

}  // namespace rulecore::word::uno
