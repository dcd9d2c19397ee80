#include "toolkit/LineBreak.h"

#include "text/CodePage932.h"

namespace velquin {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string_view> BreakLines(std::string_view text, int maxWidth, size_t maxLines,
                                         const TextMeasure& measure) {
  std::vector<std::string_view> lines;
  size_t pos = 0;
  while (lines.size() < maxLines) {
    // One paragraph: up to the next line break.
    size_t end = pos;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    std::string_view rest = text.substr(pos, end - pos);
    do {
      if (measure(rest) <= maxWidth) {
        lines.push_back(rest);
        break;
      }
      // The longest start of `rest` that fits, remembering the last blank in it.
      size_t fits = 0, blank = std::string_view::npos;
      for (size_t i = 0; i < rest.size();) {
        const size_t next = i + Cp932CharLength(rest, i);
        if (i > 0 && measure(rest.substr(0, next)) > maxWidth) break;
        if (IsBlank(rest[i])) blank = i;
        fits = next;
        i = next;
      }
      // At the last blank when something stands before it, else between characters.
      size_t cut = fits, resume = fits;
      if (blank != std::string_view::npos && fits < rest.size() && !IsBlank(rest[fits])) {
        size_t before = blank;
        while (before > 0 && IsBlank(rest[before - 1])) --before;
        if (before > 0) {
          cut = before;
          resume = blank;
        }
      }
      while (cut > 1 && IsBlank(rest[cut - 1])) --cut;
      while (resume < rest.size() && IsBlank(rest[resume])) ++resume;
      lines.push_back(rest.substr(0, cut));
      rest.remove_prefix(resume);
    } while (!rest.empty() && lines.size() < maxLines);
    if (end >= text.size()) break;
    pos = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  return lines;
}

}  // namespace velquin
