#include "rulecore/rules/extract.h"

#include "rulecore/rules/char_search.h"
#include "rulecore/rules/message_pump.h"

namespace rulecore {
namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// ASCII letters in either case, every other byte exactly.
bool matchesIgnoringCase(std::string_view text, std::size_t pos, std::string_view marker) {
    if (text.size() - pos < marker.size()) return false;
    for (std::size_t i = 0; i < marker.size(); ++i) {
        if (lowerAscii(text[pos + i]) != lowerAscii(marker[i])) return false;
    }
    return true;
}

bool hasLetter(std::string_view text) {
    for (char c : text) {
        if (lowerAscii(c) >= 'a' && lowerAscii(c) <= 'z') return true;
    }
    return false;
}

// First match at or after from, tried only where a character starts.
std::size_t findMarker(std::string_view text, std::string_view marker, std::size_t from,
                       bool caseSensitive) {
    if (caseSensitive || !hasLetter(marker)) return findAtCharStart(text, marker, from);
    for (std::size_t pos = from; pos < text.size() && text.size() - pos >= marker.size();
         pos += charLength(text, pos)) {
        if (matchesIgnoringCase(text, pos, marker)) return pos;
    }
    return std::string_view::npos;
}

}  // namespace

int extractBetween(std::string_view text, std::string_view openMarker, std::string_view closeMarker,
                   TextList& items, bool caseSensitive, std::size_t maxLength,
                   std::string_view prefix, std::string_view suffix, bool keepOpenMarker,
                   bool keepCloseMarker, long startPosition) {
    items.clear();
    // Empty markers would match everywhere without moving on; they find nothing.
    if (openMarker.empty() || closeMarker.empty()) return 0;
    std::size_t search = startPosition < 1 ? 0 : static_cast<std::size_t>(startPosition - 1);
    while (search < text.size()) {
        std::size_t open = findMarker(text, openMarker, search, caseSensitive);
        if (open == std::string_view::npos) break;
        std::size_t spanStart = open + openMarker.size();
        std::size_t close = findMarker(text, closeMarker, spanStart, caseSensitive);
        if (close == std::string_view::npos) break;
        search = spanStart;

        Text span = trimSpaces(text.substr(spanStart, close - spanStart));
        if (!span.empty() || !prefix.empty() || !suffix.empty()) {
            Text item;
            item.reserve(openMarker.size() + prefix.size() + span.size() + suffix.size() +
                         closeMarker.size());
            if (keepOpenMarker) item.append(openMarker);
            item.append(prefix).append(span).append(suffix);
            if (keepCloseMarker) item.append(closeMarker);
            if (maxLength == 0) {
                items.push_back(std::move(item));
            } else {
                if (item.size() < maxLength) items.push_back(std::move(item));
                pumpMessages();
            }
            search = close;
        }
        pumpMessages();
        pumpMessages();
        pumpMessages();
    }
    return static_cast<int>(items.size());
}

TextList extractMarked(std::string_view text, std::string_view openMarker,
                       std::string_view closeMarker) {
    TextList items;
    extractBetween(text, openMarker, closeMarker, items, false, 0, {}, {}, true, true, 0);
    return items;
}

}  // namespace rulecore
