#pragma once
// Text routines for code page 932 text. Positions count bytes from 1; a
// double-byte character takes two positions, its lead byte and its trail byte.
#include <cstddef>
#include <string>
#include <string_view>

namespace velquin {

// The full-width space (U+3000) in code page 932.
inline constexpr std::string_view kFullWidthSpace = "\x81\x40";

// Removes every byte 0x00..0x20 from both ends (the ordinary trim).
std::string Trim(std::string_view text);

// True when position `position` (from 1) of `text` holds the second byte of a
// double-byte character of code page 932.
bool IsTrailByte(std::string_view text, size_t position);

// Trim that also removes full-width spaces, in any mix with blanks, at both ends.
std::string TrimFullWidth(std::string_view iText);

// True when TrimFullWidth leaves nothing.
bool IsBlank(std::string_view iText);

// True when `iText` ends with `iSubText` and that ending does not start on a
// trail byte; compared with the locale's comparison.
bool EndsWithText(std::string_view iSubText, std::string_view iText);

}  // namespace velquin
