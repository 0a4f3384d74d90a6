#pragma once

#include <string_view>

#include "rulecore/rules/text.h"

// The operating system's edges. Everything inside the programs is code page 936;
// on Linux the file system, arguments and console are UTF-8 and are converted here.
namespace rulecore::os {

// '\' on Windows, '/' on Linux.
char pathSeparator();
Text joinPath(const Text& directory, const Text& name);

// The directory that holds the running program file, without a final separator.
Text runDirectory();
// Each program works in its run directory; false when it cannot be entered.
bool setWorkingDirectory(const Text& directory);

bool fileExists(const Text& path);  // a regular file, not a directory
// The file's bytes up to its first NUL; empty when it cannot be read.
Text readTextFile(const Text& path);
// Creates or replaces the file with exactly these bytes (no terminating NUL).
bool writeTextFile(const Text& path, std::string_view bytes);

// Code page 936 <-> UTF-8. Bytes that do not convert become U+FFFD / '?'.
std::string toUtf8(std::string_view cp936);
Text fromUtf8(std::string_view utf8);

// Writes bytes to standard output unchanged (binary), in one piece, and flushes.
void writeStdout(std::string_view bytes);
void writeStderr(std::string_view bytes);

// Console text in the console's own encoding: ANSI bytes on Windows, UTF-8 on Linux.
std::string toConsole(std::string_view cp936);

void sleepMilliseconds(unsigned milliseconds);

}  // namespace rulecore::os
