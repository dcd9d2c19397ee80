#include <gtest/gtest.h>

#include "library/CodePage.h"

namespace velquin {
namespace {

TEST(CodePage, ActiveCodePageHasTheLeadBytesOf932) {
  const CodePage& cp = ActiveCodePage();
  for (int b = 0; b < 256; ++b) {
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    EXPECT_EQ(cp.IsLeadByte(static_cast<unsigned char>(b)), lead) << "byte " << b;
  }
}

TEST(CodePage, CharLengthStepsOverDoubleByteCharacters) {
  const CodePage& cp = ActiveCodePage();
  const std::string text = "\x83\x5C" "a\x81";  // "ソ", 'a', a lone lead byte at the end
  EXPECT_EQ(cp.CharLength(text, 0), 2u);
  EXPECT_EQ(cp.CharLength(text, 2), 1u);
  EXPECT_EQ(cp.CharLength(text, 3), 1u);
  const std::string leadThenNul("\x81\0x", 3);
  EXPECT_EQ(cp.CharLength(leadThenNul, 0), 1u);
}

TEST(CodePage, ScopedOverrideIsUndoneAtScopeEnd) {
  {
    ScopedCodePage single(SingleByteCodePage());
    EXPECT_FALSE(ActiveCodePage().IsLeadByte(0x81));
  }
  EXPECT_TRUE(ActiveCodePage().IsLeadByte(0x81));
}

TEST(CodePage, LiteralsAreCodePage932) {
#if defined(__clang__)
  GTEST_SKIP() << "clang keeps narrow literals in UTF-8";
#endif
  EXPECT_EQ(std::string("ソ"), std::string("\x83\x5C"));
}

}  // namespace
}  // namespace velquin
