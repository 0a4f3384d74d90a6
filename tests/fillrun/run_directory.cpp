#include "tests/fillrun/run_directory.h"

#include <random>
#include <stdexcept>

#include "rulecore/platform/os.h"
#include "tests/support/cp936.h"

#ifndef FILLRUN_PROGRAM
#error "FILLRUN_PROGRAM names the fillrun program under test"
#endif

namespace fillrun::test {
namespace fs = std::filesystem;

namespace {
std::string utf8Of(const fs::path& path) {
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
fs::path pathOfUtf8(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}
}  // namespace

RunDirectory::RunDirectory() {
    std::random_device random;
    for (int attempt = 0; attempt < 100 && directory_.empty(); ++attempt) {
        fs::path candidate = fs::temp_directory_path() / ("fillrun-" + std::to_string(random()));
        if (fs::create_directory(candidate)) directory_ = candidate;
    }
    if (directory_.empty()) throw std::runtime_error("no temporary run directory");
    fs::path source = nativePath(FILLRUN_PROGRAM);
    fs::path copy = directory_ / source.filename();
    fs::copy_file(source, copy);
    program_ = copy.string();  // ASCII: the temporary directory and the build's name
}

RunDirectory::~RunDirectory() {
    std::error_code ignored;
    fs::remove_all(directory_, ignored);
}

rulecore::Text RunDirectory::path() const { return rulecore::os::fromUtf8(utf8Of(directory_)); }

rulecore::Text RunDirectory::join(const rulecore::Text& name) const {
    return rulecore::os::joinPath(path(), name);
}

void RunDirectory::write(const rulecore::Text& name, std::string_view bytes) const {
    if (!rulecore::os::writeTextFile(join(name), bytes)) throw std::runtime_error("cannot write fixture");
}

rulecore::Text RunDirectory::read(const rulecore::Text& name) const {
    return rulecore::os::readTextFile(join(name));
}

bool RunDirectory::exists(const rulecore::Text& name) const {
    return rulecore::os::fileExists(join(name));
}

void RunDirectory::makeDirectory(const rulecore::Text& name) const {
    fs::create_directory(directory_ / pathOfUtf8(rulecore::os::toUtf8(name)));
}

ProcessResult RunDirectory::run(const rulecore::TextList& arguments, int timeoutSeconds) const {
    return runProgram(program_, arguments, timeoutSeconds);
}

std::string console(std::u8string_view utf8) {
    return rulecore::os::toConsole(rulecore::test::cp(utf8));
}

}  // namespace fillrun::test
