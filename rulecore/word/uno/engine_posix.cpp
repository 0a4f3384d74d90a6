#include <fcntl.h>
#include <sys/prctl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <thread>

#include "rulecore/word/uno/office_process.h"

extern char** environ;

namespace rulecore::word::uno {

OfficeProcess::~OfficeProcess() { kill(); }

bool OfficeProcess::start(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& leftovers) {
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    // The office's own chatter must not reach our console.
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = 0;
    const int rc = program.find('/') == std::string::npos
                       ? posix_spawnp(&pid, program.c_str(), &actions, &attributes, argv.data(), environ)
                       : posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (rc != 0 || pid <= 0) return false;
    group_ = pid;
    reaped_ = false;
    startGuardian(leftovers);
    return true;
}

// A program that dies without ending its office (killed, crashed) must not leave
// the office running: a small forked guardian ends the group when we die. The
// parent-death signal follows the thread that starts the office, which is the
// session's thread for its whole life. Only async-signal-safe calls follow the
// fork.
void OfficeProcess::startGuardian(const std::string& leftovers) {
    const pid_t parent = getpid();
    const char* const folder = leftovers.empty() ? nullptr : leftovers.c_str();
    const pid_t guardian = fork();
    if (guardian == 0) {
        sigset_t all;
        sigfillset(&all);
        sigprocmask(SIG_BLOCK, &all, nullptr);
        prctl(PR_SET_PDEATHSIG, SIGUSR1);
        if (getppid() == parent) {
            sigset_t wake;
            sigemptyset(&wake);
            sigaddset(&wake, SIGUSR1);
            int signal = 0;
            sigwait(&wake, &signal);
        }
        ::kill(-group_, SIGKILL);
        if (folder) {
            // Give the killed office a moment to go before its profile does.
            const struct timespec pause{0, 500000000};
            nanosleep(&pause, nullptr);
            execlp("rm", "rm", "-rf", "--", folder, static_cast<char*>(nullptr));
        }
        _exit(0);
    }
    guardian_ = guardian > 0 ? guardian : 0;
}

void OfficeProcess::stopGuardian() {
    if (guardian_ <= 0) return;
    ::kill(guardian_, SIGKILL);
    int status = 0;
    waitpid(guardian_, &status, 0);
    guardian_ = 0;
}

void OfficeProcess::reap(bool block) {
    if (group_ <= 0 || reaped_) return;
    int status = 0;
    const pid_t done = waitpid(group_, &status, block ? 0 : WNOHANG);
    if (done == group_ || (done < 0 && errno == ECHILD)) reaped_ = true;
}

bool OfficeProcess::running() {
    reap(false);
    return group_ > 0 && !reaped_;
}

bool OfficeProcess::waitGone(std::chrono::milliseconds deadline) {
    if (group_ <= 0) return true;
    const auto until = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        reap(false);
        if (::kill(-group_, 0) != 0 && errno == ESRCH) return true;
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

void OfficeProcess::kill() {
    if (group_ <= 0) return;
    ::kill(-group_, SIGKILL);
    reap(true);
    waitGone(std::chrono::milliseconds(5000));
    stopGuardian();
    group_ = 0;
}

std::string makeProfileDirectory() {
    std::error_code error;
    std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) base = "/tmp";
    std::string pattern = (base / ("rulecore-office-" + std::to_string(getpid()) + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data())) return {};
    return pattern;
}

void removeDirectory(const std::string& path) {
    if (path.empty()) return;
    std::error_code error;
    std::filesystem::remove_all(path, error);
}

}  // namespace rulecore::word::uno

// The UNO runtime keeps process-wide caches (the type library, the bridges, the
// client's component context) that it never frees; a build with the leak checker
// must not count them as ours.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libuno_cppu.so\n"
           "leak:libuno_sal.so\n"
           "leak:libuno_cppuhelpergcc3.so\n"
           "leak:libbinaryurplo.so\n"
           "leak:libgcc3_uno.so\n";
}

// Those expected leaks are no news to the user: keep the leak checker's summary of
// them off the console.
extern "C" const char* __lsan_default_options();
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
