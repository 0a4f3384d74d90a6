#pragma once

#include <string>
#include <vector>

#include "rulecore/rules/text.h"

namespace fillrun::test {

struct ProcessResult {
    bool finished = false;  // false when it had to be killed after the time limit
    int exitCode = -1;
    std::string output;     // standard output, byte for byte
};

// Runs program with the given arguments (code page 936 bytes) and collects its
// standard output. On Windows the arguments are joined into one command line,
// quoted where they are empty or hold blanks, as a user would type them.
ProcessResult runProgram(const std::string& program, const rulecore::TextList& arguments,
                         int timeoutSeconds = 120);

// The program file as this platform names it (the build gives a Unix path, which
// Wine reaches through drive Z:).
std::string nativePath(const std::string& buildPath);

// The command line a user types for these arguments (program name excluded).
std::string joinCommandLine(const rulecore::TextList& arguments);

}  // namespace fillrun::test
