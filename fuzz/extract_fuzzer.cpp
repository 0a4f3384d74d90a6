// extractBetween with every parameter taken from the input: the scan must end and
// stay inside the text whatever the markers, limits and start position.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "rulecore/rules/extract.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8) return 0;
    const std::uint8_t flags = data[0];
    const std::size_t openLength = 1 + data[1] % 8;
    const std::size_t closeLength = 1 + data[2] % 4;
    const std::size_t maxLength = data[3] % 16;
    const long start = static_cast<long>(static_cast<std::int8_t>(data[4])) * 4;
    std::string_view rest(reinterpret_cast<const char*>(data + 5), size - 5);
    if (rest.size() < openLength + closeLength) return 0;
    std::string_view open = rest.substr(0, openLength);
    std::string_view close = rest.substr(openLength, closeLength);
    std::string_view text = rest.substr(openLength + closeLength);
    std::string_view prefix = flags & 0x10 ? "(" : "";
    std::string_view suffix = flags & 0x20 ? ")" : "";

    rulecore::TextList items{"left over"};
    int count = rulecore::extractBetween(text, open, close, items, flags & 1, maxLength, prefix,
                                         suffix, flags & 2, flags & 4, start);
    if (count < 0 || static_cast<std::size_t>(count) != items.size()) __builtin_trap();
    for (const rulecore::Text& item : items) {
        // Without markers, prefix or suffix an item is a trimmed piece of the text.
        if (item.size() > text.size() + open.size() + close.size() + 2) __builtin_trap();
    }
    return 0;
}
