#include "library/CodePage.h"

namespace velquin {
namespace {

class Cp932Table final : public CodePage {
 public:
  bool IsLeadByte(unsigned char byte) const override {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
  }
  size_t CharLength(std::string_view text, size_t pos) const override {
    // A lead byte followed by the end or a NUL stands alone, as CharNextA treats it.
    if (pos + 1 < text.size() && IsLeadByte(static_cast<unsigned char>(text[pos])) &&
        text[pos + 1] != '\0') {
      return 2;
    }
    return 1;
  }
  bool TextEqual(std::string_view a, std::string_view b) const override { return a == b; }
};

class SingleByte final : public CodePage {
 public:
  bool IsLeadByte(unsigned char) const override { return false; }
  size_t CharLength(std::string_view, size_t) const override { return 1; }
  bool TextEqual(std::string_view a, std::string_view b) const override { return a == b; }
};

const CodePage* g_override = nullptr;

}  // namespace

const CodePage& Cp932TableCodePage() {
  static const Cp932Table table;
  return table;
}

const CodePage& SingleByteCodePage() {
  static const SingleByte singleByte;
  return singleByte;
}

const CodePage& SystemCodePage();  // CodePage_host.cpp or CodePage_win.cpp

const CodePage& ActiveCodePage() { return g_override ? *g_override : SystemCodePage(); }

ScopedCodePage::ScopedCodePage(const CodePage& codePage) : previous_(g_override) {
  g_override = &codePage;
}

ScopedCodePage::~ScopedCodePage() { g_override = previous_; }

}  // namespace velquin
