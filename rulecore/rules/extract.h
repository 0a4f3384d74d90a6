#pragma once

#include <string_view>

#include "rulecore/rules/text.h"

namespace rulecore {

// Collects every span between openMarker and the next closeMarker (both non-empty).
// Positions are 1-based; startPosition below 1 means the start of the text.
// Returns the number of items.
int extractBetween(std::string_view text, std::string_view openMarker,
                   std::string_view closeMarker, TextList& items, bool caseSensitive,
                   std::size_t maxLength, std::string_view prefix, std::string_view suffix,
                   bool keepOpenMarker, bool keepCloseMarker, long startPosition);

// The settings every caller in the system uses: letters in either case, no limit,
// no prefix or suffix, both markers kept, search from the start.
TextList extractMarked(std::string_view text, std::string_view openMarker,
                       std::string_view closeMarker);

}  // namespace rulecore
