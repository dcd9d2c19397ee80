// The code page in force under Windows (GetCPInfo, CharNextA, CompareStringA) must
// agree with the code page 932 table the host builds use.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/CodePage.h"

namespace velquin {
namespace {

// The lead bytes themselves are checked by the library's own tests, under Wine too.
TEST(Win32CodePage, TheAnsiCodePageIs932) { EXPECT_EQ(GetACP(), 932u); }

// Every pair of bytes, followed by a letter, by a NUL and by the end of the text.
TEST(Win32CodePage, CharLengthEqualsTheTableForEveryBytePair) {
  const CodePage& system = ActiveCodePage();
  const CodePage& table = Cp932TableCodePage();
  int mismatches = 0;
  for (int first = 1; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      for (const std::string& tail : {std::string("z"), std::string(1, '\0'), std::string()}) {
        const std::string text = std::string{static_cast<char>(first), static_cast<char>(second)} + tail;
        if (system.CharLength(text, 0) != table.CharLength(text, 0) && ++mismatches <= 10) {
          ADD_FAILURE() << "bytes " << first << " " << second << " tail " << tail.size();
        }
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(Win32CodePage, StepsThroughMixedText) {
  const struct {
    const char* label;
    std::string text;
    std::vector<size_t> starts;  // where each character begins
  } cases[] = {
      {"ascii", "ab c", {0, 1, 2, 3}},
      {"mixed", "aソb表\x81\x40" "c", {0, 1, 3, 4, 6, 8}},
      {"half-width katakana", "\xB1\xB2\xDF", {0, 1, 2}},
      {"not lead bytes", "\x80\xA0\xFD\xFE\xFF", {0, 1, 2, 3, 4}},
      {"lone lead byte at the end", "ab\x81", {0, 1, 2}},
      {"lead byte before NUL", std::string("\x81\0x", 3), {0, 1, 2}},
      {"lead byte before a blank", "\x81 x", {0, 2}},
      {"trail byte 0x5C", "C:\\ソ\\x", {0, 1, 2, 3, 5, 6}},
  };
  const CodePage& cp = ActiveCodePage();
  for (const auto& c : cases) {
    std::vector<size_t> starts;
    for (size_t pos = 0; pos < c.text.size(); pos += cp.CharLength(c.text, pos)) {
      starts.push_back(pos);
    }
    EXPECT_EQ(starts, c.starts) << c.label;
  }
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
  };
  const CodePage& cp = ActiveCodePage();
  for (const auto& c : cases) {
    EXPECT_EQ(cp.TextEqual(c.a, c.b), c.equal) << "'" << c.a << "' '" << c.b << "'";
  }
}

}  // namespace
}  // namespace velquin
