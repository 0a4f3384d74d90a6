#include "fillrun/command_line.h"

#include <cstddef>

namespace fillrun {
namespace {

bool isLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x80; }
bool isBlank(char c) { return static_cast<unsigned char>(c) < 0x21; }

// Bytes of the character at pos, never running past the end of the line.
std::size_t step(std::string_view line, std::size_t pos) {
    return isLeadByte(line[pos]) && pos + 1 < line.size() ? 2 : 1;
}

// Position just after the first byte equal to stop at or after pos (by
// characters), or the end of the line.
std::size_t skipPast(std::string_view line, std::size_t pos, char stop) {
    while (pos < line.size()) {
        if (line[pos] == stop) return pos + 1;
        pos += step(line, pos);
    }
    return pos;
}

}  // namespace

rulecore::TextList splitCommandLine(std::string_view line) {
    rulecore::TextList arguments;
    std::size_t pos = 0;
    if (!line.empty()) pos = line[0] == '"' ? skipPast(line, 1, '"') : skipPast(line, 0, ' ');

    while (pos < line.size()) {
        char c = line[pos];
        if (isBlank(c)) {
            ++pos;
        } else if (c == '"') {
            std::size_t start = ++pos;
            while (pos < line.size() && line[pos] != '"') pos += step(line, pos);
            arguments.emplace_back(line.substr(start, pos - start));
            if (pos < line.size()) ++pos;  // the closing quote
        } else {
            std::size_t start = pos;
            while (pos < line.size() && !isBlank(line[pos]) && line[pos] != '"') {
                pos += step(line, pos);
            }
            arguments.emplace_back(line.substr(start, pos - start));
        }
    }
    return arguments;
}

rulecore::Text upperAscii(std::string_view text) {
    rulecore::Text upper(text);
    for (std::size_t pos = 0; pos < upper.size(); pos += step(upper, pos)) {
        if (upper[pos] >= 'a' && upper[pos] <= 'z') upper[pos] = static_cast<char>(upper[pos] - 'a' + 'A');
    }
    return upper;
}

}  // namespace fillrun
