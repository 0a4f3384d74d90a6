// fillrun end to end on Linux: a copy of the program in a run directory fills a
// real template through the LibreOffice engine.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <string>
#include <vector>

#include "tests/support/cp936.h"
#include "tests/uno/office_files.h"

namespace rulecore {
namespace {

using test::cp;

struct ProgramRun {
    int exitCode = -1;
    std::string output;
    int pid = 0;
};

// Runs the program with the arguments; environment entries replace the ones of
// the same name.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
               const std::vector<std::string>& environment = {}) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeEnds[1], 1);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        for (const std::string& entry : environment) putenv(const_cast<char*>(entry.c_str()));
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    ProgramRun run;
    run.pid = pid;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0) run.output.append(buffer, static_cast<std::size_t>(got));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// On Linux the console speaks UTF-8, so the messages arrive as UTF-8.
class FillrunOnLinux : public ::testing::Test {
protected:
    void SetUp() override {
        program = dir.file("fillrun");
        std::filesystem::copy_file(FILLRUN_PROGRAM, program);
        std::filesystem::permissions(program, std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
        uno_test::writeFile(dir.file("form.fodt"), uno_test::flatDocument(R"(
<text:p>To: ##NAME## on ##DATE##</text:p>
<text:p>Note: ##NOTE##</text:p>
<text:p>Status: draft</text:p>)", "Header ##NAME##", "Footer"));
        ASSERT_FALSE(uno_test::convert(dir.file("form.fodt"), "doc").empty());
        // CR LF lines in code page 936, as the rules files are written; the file
        // system and the arguments are UTF-8 on Linux.
        uno_test::writeFile(dir.file("规则.txt"), cp(u8"'例子\r\n"
                                                             u8"##NAME##==张三\r\n"
                                                             u8"##DATE##==2024年5月1日\r\n"
                                                             u8"##NOTE##==第一行#换行符第二行\r\n"
                                                             u8"last[draft+定稿]\r\n"));
    }

    uno_test::TempDirectory dir;
    std::string program;
};

TEST_F(FillrunOnLinux, FillsTheTemplateBesideTheProgramAndEndsTheOffice) {
    const ProgramRun run = runProgram(program, {"-B", "规则.txt", "form.doc", "filled.doc"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("处理结束！\r\n"), std::string::npos) << run.output;
    EXPECT_EQ(uno_test::bodyText(dir.file("filled.doc")),
              "To: 张三 on 2024年5月1日\nNote: 第一行\n第二行\nStatus: 定稿\n");
    EXPECT_NE(uno_test::flatXml(dir.file("filled.doc")).find("Header ##NAME##"), std::string::npos);
    EXPECT_TRUE(uno_test::processesMentioning(uno_test::officeMarkerFor(run.pid)).empty());
}

TEST_F(FillrunOnLinux, MissingTemplateOrNoOfficeEndsAsUsual) {
    const struct {
        const char* what;
        std::string templateName;
        std::vector<std::string> environment;
    } cases[] = {{"missing template", "absent.doc", {}},
                 {"office hidden from PATH", "form.doc", {"PATH=" + dir.path()}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ProgramRun run = runProgram(program, {"-B", "规则.txt", c.templateName, "out.doc"}, c.environment);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_NE(run.output.find("处理结束！\r\n"), std::string::npos) << run.output;
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.doc")));
        EXPECT_TRUE(uno_test::processesMentioning(uno_test::officeMarkerFor(run.pid)).empty());
    }
}

// A program killed in the middle of a run takes its office with it.
TEST_F(FillrunOnLinux, KilledProgramLeavesNoOffice) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 1);
        execl(program.c_str(), program.c_str(), "-B", "规则.txt", "form.doc", "late.doc", static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(pid, 0);
    const std::string marker = uno_test::officeMarkerFor(pid);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (uno_test::processesMentioning(marker).empty() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_FALSE(uno_test::processesMentioning(marker).empty());
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    const auto gone = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!uno_test::processesMentioning(marker).empty() && std::chrono::steady_clock::now() < gone) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(uno_test::processesMentioning(marker).empty());
    // Its private profile goes too.
    std::this_thread::sleep_for(std::chrono::seconds(2));
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path())) {
        EXPECT_EQ(entry.path().filename().string().rfind(marker, 0), std::string::npos) << entry.path();
    }
}

}  // namespace
}  // namespace rulecore
