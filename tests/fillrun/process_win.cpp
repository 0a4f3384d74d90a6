#include <windows.h>

#include "tests/fillrun/process.h"

namespace fillrun::test {
namespace {

class Handle {
public:
    explicit Handle(HANDLE h = nullptr) : handle_(h) {}
    ~Handle() { reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    void reset(HANDLE h = nullptr) {
        if (handle_ && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        handle_ = h;
    }
    HANDLE get() const { return handle_; }
    HANDLE* out() { return &handle_; }

private:
    HANDLE handle_;
};

}  // namespace

std::string nativePath(const std::string& buildPath) {
    if (buildPath.empty() || buildPath[0] != '/') return buildPath;
    std::string path = "Z:" + buildPath;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

ProcessResult runProgram(const std::string& program, const rulecore::TextList& arguments,
                         int timeoutSeconds) {
    ProcessResult result;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    Handle readEnd, writeEnd;
    if (!CreatePipe(readEnd.out(), writeEnd.out(), &inherit, 0)) return result;
    SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string commandLine;
    commandLine.append(1, '"').append(program).append(1, '"');
    if (!arguments.empty()) commandLine.append(1, ' ').append(joinCommandLine(arguments));
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &info)) {
        return result;
    }
    Handle process(info.hProcess), thread(info.hThread);
    writeEnd.reset();

    // Reading ends when the child and everything it started let go of the pipe.
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutSeconds) * 1000;
    bool killed = false;
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &available, nullptr)) break;
        if (available == 0) {
            if (GetTickCount64() > deadline) {
                TerminateProcess(process.get(), 1);
                killed = true;
                break;
            }
            if (WaitForSingleObject(process.get(), 20) == WAIT_OBJECT_0) {
                if (!PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &available, nullptr) ||
                    available == 0) {
                    break;
                }
            }
            continue;
        }
        char buffer[65536];
        DWORD got = 0;
        if (!ReadFile(readEnd.get(), buffer, sizeof buffer, &got, nullptr) || got == 0) break;
        result.output.append(buffer, got);
    }
    WaitForSingleObject(process.get(), 10000);
    DWORD code = 1;
    GetExitCodeProcess(process.get(), &code);
    result.finished = !killed && code != STILL_ACTIVE;
    result.exitCode = static_cast<int>(code);
    return result;
}

}  // namespace fillrun::test
