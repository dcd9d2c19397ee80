// Code page 932 as the program knows it must agree with Windows' own code page 932,
// whatever code page the process runs in.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "text/CodePage932.h"

namespace velquin {
namespace {

// Every pair of bytes, followed by a letter, by a NUL and by the end of the text.
TEST(Win32CodePage, CharLengthEqualsWindowsCodePage932ForEveryBytePair) {
  int mismatches = 0;
  for (int first = 1; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      for (const std::string& tail : {std::string("z"), std::string(1, '\0'), std::string()}) {
        const std::string text = std::string{static_cast<char>(first), static_cast<char>(second)} + tail;
        // CharNextExA needs a terminated text; the string's own NUL ends it.
        const size_t windows = static_cast<size_t>(CharNextExA(kTextCodePage, text.c_str(), 0) - text.c_str());
        if (std::max<size_t>(windows, 1) != Cp932CharLength(text, 0) && ++mismatches <= 10) {
          ADD_FAILURE() << "bytes " << first << " " << second << " tail " << tail.size();
        }
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(Win32CodePage, TextEqualIsTheLocaleComparisonCaseSensitive) {
  const struct {
    std::string a;
    std::string b;
    bool equal;
  } cases[] = {
      {"abc", "abc", true},
      {"", "", true},
      {"\x81\x40", "\x81\x40", true},
      {"\x81", "\x81", true},  // identical bytes, even when not a valid character
      {"abc", "ABC", false},
      {"c", "C", false},
      {"a", "", false},
      {"\x81\x40", " ", false},  // full-width and half-width space
      {"ａ", "a", false},
      {"ア", "あ", false},
      {"ｱ", "ア", false},
      {"\xED\x40", "\xFA\x5C", true},  // two codes of one character
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LocaleTextEqual(c.a, c.b), c.equal) << "'" << c.a << "' '" << c.b << "'";
  }
}

}  // namespace
}  // namespace velquin
