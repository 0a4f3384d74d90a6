#pragma once

#include <cstddef>
#include <string_view>

namespace rulecore {

// The same answer as findText (first match at or after from that starts a
// character, with from taken as a character start), found with the library's
// fast byte search: the walk over the characters only runs up to each candidate.
inline std::size_t findAtCharStart(std::string_view text, std::string_view what, std::size_t from) {
    if (what.empty()) return std::string_view::npos;
    std::size_t charStart = from;
    for (std::size_t candidate = text.find(what, from); candidate != std::string_view::npos;
         candidate = text.find(what, candidate + 1)) {
        while (charStart < candidate) {
            charStart += static_cast<unsigned char>(text[charStart]) >= 0x80 ? 2u : 1u;
        }
        if (charStart == candidate) return candidate;
    }
    return std::string_view::npos;
}

}  // namespace rulecore
