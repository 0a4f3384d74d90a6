#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace rulecore {

// Byte text in the ANSI code page (936). An absent text is the empty text.
using Text = std::string;
using TextList = std::vector<Text>;

// Bytes taken by the character that starts at pos: a byte of 0x80 or above and the
// byte after it form one character; a lone lead byte at the very end is one byte.
std::size_t charLength(std::string_view text, std::size_t pos);

// First occurrence of what at or after from, tried only at character starts.
// Returns std::string_view::npos when there is none or what is empty.
std::size_t findText(std::string_view text, std::string_view what, std::size_t from = 0);

// Cuts text at every occurrence of separator (non-empty). An empty text gives no
// pieces and a separator at the very end gives no empty final piece.
TextList splitText(std::string_view text, std::string_view separator);

// Replaces every occurrence of from by to, left to right, never overlapping, without
// searching the inserted text again. An empty from replaces nothing.
Text replaceAll(std::string_view text, std::string_view from, std::string_view to);

// Drops half-width (0x20) and full-width (A1 A1) spaces at both ends.
Text trimSpaces(std::string_view text);

}  // namespace rulecore
