// The user's ANSI code page, asked of Windows.
#include <windows.h>

#include <string>

#include "library/CodePage.h"

namespace velquin {
namespace {

class Win32CodePage final : public CodePage {
 public:
  Win32CodePage() {
    CPINFO info{};
    if (GetCPInfo(CP_ACP, &info)) {
      for (int i = 0; i + 1 < MAX_LEADBYTES && (info.LeadByte[i] || info.LeadByte[i + 1]); i += 2) {
        for (unsigned b = info.LeadByte[i]; b <= info.LeadByte[i + 1]; ++b) lead_[b] = true;
      }
    }
  }
  bool IsLeadByte(unsigned char byte) const override { return lead_[byte]; }
  size_t CharLength(std::string_view text, size_t pos) const override {
    if (pos >= text.size()) return 1;
    // CharNextA needs a terminated text; two bytes and a NUL are all it can look at.
    char buffer[3] = {text[pos], pos + 1 < text.size() ? text[pos + 1] : '\0', '\0'};
    const size_t step = static_cast<size_t>(CharNextA(buffer) - buffer);
    return step == 0 ? 1 : step;
  }
  bool TextEqual(std::string_view a, std::string_view b) const override {
    if (a == b) return true;
    return CompareStringA(LOCALE_USER_DEFAULT, 0, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
  }

 private:
  bool lead_[256] = {};
};

}  // namespace

const CodePage& SystemCodePage() {
  static const Win32CodePage codePage;
  return codePage;
}

}  // namespace velquin
