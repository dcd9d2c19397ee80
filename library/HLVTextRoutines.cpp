#include "library/HLVTextRoutines.h"

#include "text/CodePage932.h"

namespace velquin {
namespace {

bool IsTrimmable(char c) { return static_cast<unsigned char>(c) <= 0x20; }

// The ordinary trim as a view into `text`: no copy, so the loops below stay linear.
std::string_view TrimView(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsTrimmable(text[begin])) ++begin;
  while (end > begin && IsTrimmable(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

}  // namespace

std::string Trim(std::string_view text) { return std::string(TrimView(text)); }

bool IsTrailByte(std::string_view text, size_t position) {
  if (position <= 1 || position > text.size() || text[position - 1] == '\0') return false;
  // Length of the run of lead-range bytes that ends just before `position`.
  size_t run = 0;
  for (size_t p = position - 1; p >= 1; --p) {
    if (!IsCp932LeadByte(static_cast<unsigned char>(text[p - 1]))) break;
    ++run;
  }
  return run % 2 == 1;
}

bool EndsWithText(std::string_view iSubText, std::string_view iText) {
  if (iSubText.size() > iText.size()) return false;
  const size_t start = iText.size() - iSubText.size();  // position start + 1, from 1
  if (IsTrailByte(iText, start + 1)) return false;
  return LocaleTextEqual(iText.substr(start), iSubText);
}

std::string TrimFullWidth(std::string_view iText) {
  std::string_view r = TrimView(iText);
  while (r.substr(0, kFullWidthSpace.size()) == kFullWidthSpace) {
    r = TrimView(r.substr(kFullWidthSpace.size()));
  }
  while (EndsWithText(kFullWidthSpace, r)) {
    r = TrimView(r.substr(0, r.size() - kFullWidthSpace.size()));
  }
  return std::string(r);
}

bool IsBlank(std::string_view iText) { return TrimFullWidth(iText).empty(); }

}  // namespace velquin
