// The text routines over any bytes: the first byte picks where the text is cut into
// the ending sought and the text searched.
#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "text/CodePage932.h"
#include "library/HLVTextRoutines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velquin;
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

  const std::string trimmed = Trim(text);
  FUZZ_CHECK(text.find(trimmed) != std::string_view::npos);
  FUZZ_CHECK(trimmed.empty() || (static_cast<unsigned char>(trimmed.front()) > 0x20 &&
                                 static_cast<unsigned char>(trimmed.back()) > 0x20));

  const std::string wide = TrimFullWidth(text);
  FUZZ_CHECK(trimmed.find(wide) != std::string::npos);
  FUZZ_CHECK(TrimFullWidth(wide) == wide);
  FUZZ_CHECK(IsBlank(text) == wide.empty());
  FUZZ_CHECK(wide.substr(0, kFullWidthSpace.size()) != kFullWidthSpace);
  FUZZ_CHECK(!EndsWithText(kFullWidthSpace, wide));

  const size_t cut = std::min<size_t>(data[0] & 0x7F, text.size());
  const std::string_view sub = text.substr(0, cut);
  const std::string_view rest = text.substr(cut);
  const bool ends = EndsWithText(sub, rest);
  FUZZ_CHECK(!ends || sub.size() <= rest.size());
  FUZZ_CHECK(EndsWithText(rest, rest) && EndsWithText("", rest));
  for (size_t p = 0; p <= std::min<size_t>(text.size() + 1, 300); ++p) {
    if (IsTrailByte(text, p)) FUZZ_CHECK(p >= 2 && IsCp932LeadByte(text[p - 2]));
  }
  return 0;
}
