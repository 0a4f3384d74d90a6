// Windows: the ANSI arguments already are code page 936 bytes.
#include <windows.h>

#include "rulecheck/rulecheck_app.h"

namespace rulecheck {

rulecore::Text argumentText(std::string_view argument) { return rulecore::Text(argument); }

bool fileReadable(const rulecore::Text& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

}  // namespace rulecheck
