#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "rulecore/rules/text.h"
#include "tests/fillrun/process.h"

namespace fillrun::test {

// A throw-away run directory holding a copy of fillrun: the program joins every
// name to the directory of its own file, so rules and templates go beside it.
class RunDirectory {
public:
    RunDirectory();
    ~RunDirectory();
    RunDirectory(const RunDirectory&) = delete;
    RunDirectory& operator=(const RunDirectory&) = delete;

    // The directory as the programs name it (code page 936).
    rulecore::Text path() const;
    rulecore::Text join(const rulecore::Text& name) const;
    void write(const rulecore::Text& name, std::string_view bytes) const;
    rulecore::Text read(const rulecore::Text& name) const;
    bool exists(const rulecore::Text& name) const;
    void makeDirectory(const rulecore::Text& name) const;

    ProcessResult run(const rulecore::TextList& arguments, int timeoutSeconds = 120) const;

private:
    std::filesystem::path directory_;
    std::string program_;
};

// The console bytes fillrun writes for a message: code page 936 on Windows,
// UTF-8 on Linux.
std::string console(std::u8string_view utf8);

}  // namespace fillrun::test
