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

    // Reading stops once the child has ended and its output is drained: a helper
    // it started (an office process, say) may keep the pipe open much longer.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    int status = 0;
    bool ended = false;
    bool killed = false;
    char buffer[65536];
    for (;;) {
        pollfd fd{pipeEnds[0], POLLIN, 0};
        if (poll(&fd, 1, 50) > 0) {
            ssize_t n = read(pipeEnds[0], buffer, sizeof buffer);
            if (n > 0) {
                result.output.append(buffer, static_cast<std::size_t>(n));
                continue;
            }
        }
        if (!ended && waitpid(child, &status, WNOHANG) == child) {
            ended = true;
            fcntl(pipeEnds[0], F_SETFL, fcntl(pipeEnds[0], F_GETFL) | O_NONBLOCK);
            ssize_t n;
            while ((n = read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
                result.output.append(buffer, static_cast<std::size_t>(n));
            }
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            killed = true;
            break;
        }
    }
    close(pipeEnds[0]);
    if (!ended) waitpid(child, &status, 0);
    result.finished = !killed && WIFEXITED(status);
    if (result.finished) result.exitCode = WEXITSTATUS(status);
    return result;
}

}  // namespace fillrun::test
