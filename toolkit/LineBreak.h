#pragma once
// Breaking a text into lines that fit a width, as a message box lays out its text.
// Portable: the caller measures.
#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

namespace velquin {

// The width of a piece of text on one line, in whatever unit the caller uses.
using TextMeasure = std::function<int(std::string_view text)>;

// The lines of `text`: it is split at its line breaks (CR LF, LF or CR), and a line
// wider than `maxWidth` is broken after its last blank that keeps it within the
// width, or, in a word longer than a line, between two characters (never between
// the bytes of a double-byte character of code page 932). Blanks at a break are
// dropped. A character wider than the width on its own still makes a line. At
// most `maxLines` lines are made (the rest is not looked at); none when it is 0.
std::vector<std::string_view> BreakLines(std::string_view text, int maxWidth, size_t maxLines,
                                         const TextMeasure& measure);

}  // namespace velquin
