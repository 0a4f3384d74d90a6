#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "rulecore/platform/os.h"
#include "tests/fillrun/process.h"

namespace fillrun::test {

std::string nativePath(const std::string& buildPath) { return buildPath; }

ProcessResult runProgram(const std::string& program, const rulecore::TextList& arguments,
                         int timeoutSeconds) {
    ProcessResult result;
    std::vector<std::string> argv{program};
    for (const rulecore::Text& argument : arguments) argv.push_back(rulecore::os::toUtf8(argument));
    std::vector<char*> pointers;
    for (std::string& a : argv) pointers.push_back(a.data());
    pointers.push_back(nullptr);

    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return result;
    pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        execv(program.c_str(), pointers.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    bool killed = false;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            kill(child, SIGKILL);
            killed = true;
            break;
        }
        pollfd fd{pipeEnds[0], POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
        char buffer[65536];
        ssize_t n = read(pipeEnds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        result.output.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    result.finished = !killed && WIFEXITED(status);
    if (result.finished) result.exitCode = WEXITSTATUS(status);
    return result;
}

}  // namespace fillrun::test
