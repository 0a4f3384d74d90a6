#include "rulecore/rules/text.h"

#include "rulecore/rules/char_search.h"

namespace rulecore {

std::size_t charLength(std::string_view text, std::size_t pos) {
    if (pos >= text.size()) return 0;
    bool lead = static_cast<unsigned char>(text[pos]) >= 0x80;
    return lead && pos + 1 < text.size() ? 2 : 1;
}

std::size_t findText(std::string_view text, std::string_view what, std::size_t from) {
    return findAtCharStart(text, what, from);
}

TextList splitText(std::string_view text, std::string_view separator) {
    TextList pieces;
    if (text.empty() || separator.empty()) {
        if (!text.empty()) pieces.emplace_back(text);
        return pieces;
    }
    std::size_t cut = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text.compare(pos, separator.size(), separator) == 0) {
            pieces.emplace_back(text.substr(cut, pos - cut));
            pos += separator.size();
            cut = pos;
        } else {
            pos += charLength(text, pos);
        }
    }
    if (cut < text.size()) pieces.emplace_back(text.substr(cut));
    return pieces;
}

Text replaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return Text(text);
    Text out;
    std::size_t copied = 0;
    for (std::size_t pos = findText(text, from, 0); pos != std::string_view::npos;
         pos = findText(text, from, copied)) {
        out.append(text.substr(copied, pos - copied));
        out.append(to);
        copied = pos + from.size();
    }
    if (copied == 0) return Text(text);
    out.append(text.substr(copied));
    return out;
}

Text trimSpaces(std::string_view text) {
    constexpr std::string_view fullWidth = "\xA1\xA1";
    // One walk by characters: the span runs from the first to the last character
    // that is neither kind of space.
    std::size_t begin = text.size();
    std::size_t end = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t length = charLength(text, pos);
        bool space = text[pos] == ' ' || text.substr(pos, length) == fullWidth;
        if (!space) {
            if (begin == text.size()) begin = pos;
            end = pos + length;
        }
        pos += length;
    }
    if (begin >= end) return {};
    return Text(text.substr(begin, end - begin));
}

}  // namespace rulecore
