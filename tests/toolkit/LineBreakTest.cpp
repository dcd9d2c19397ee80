// Breaking message texts into lines of a width.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/LineBreak.h"

namespace velquin {
namespace {

// One unit per byte: a double-byte character is two wide.
int Bytes(std::string_view text) { return static_cast<int>(text.size()); }

std::vector<std::string> Break(std::string_view text, int width, size_t maxLines = 100) {
  std::vector<std::string> lines;
  for (std::string_view line : BreakLines(text, width, maxLines, Bytes))
    lines.emplace_back(line);
  return lines;
}

using Lines = std::vector<std::string>;

TEST(BreakLines, AtLineBreaksBlanksAndInsideLongWords) {
  // Code page 932 bytes spelled out: the clang build keeps literals in UTF-8.
#define A "\x82\xa0"
#define I "\x82\xa2"
#define U "\x82\xa4"
#define E "\x82\xa6"
#define O "\x82\xa8"
  const struct {
    const char* name;
    std::string text;
    int width;
    Lines lines;
  } cases[] = {
      {"fits", "abc def", 7, {"abc def"}},
      {"line breaks of every kind", "a\r\nb\nc\rd\r\n\r\ne", 10, {"a", "b", "c", "d", "", "e"}},
      {"at the last blank that fits", "aaa bbb ccc", 8, {"aaa bbb", "ccc"}},
      {"blanks at a break are dropped", "aaa   bbb", 4, {"aaa", "bbb"}},
      {"a word ending at the width", "aaaa bb", 4, {"aaaa", "bb"}},
      {"a long word between characters", "abcdefghij", 4, {"abcd", "efgh", "ij"}},
      {"a long word after a short one", "ab cdefghijk", 4, {"ab", "cdef", "ghij", "k"}},
      {"leading blanks then a long word", "  abcdef", 4, {"  ab", "cdef"}},
      {"double-byte text between characters", A I U E O, 5, {A I, U E, O}},
      {"never inside a double-byte character", "a" A I U, 4, {"a" A, I U}},
      {"a character wider than the width", A I, 1, {A, I}},
      {"empty", "", 10, {""}},
  };
#undef A
#undef I
#undef U
#undef E
#undef O
  for (const auto& c : cases) EXPECT_EQ(Break(c.text, c.width), c.lines) << c.name;
}

TEST(BreakLines, LongTextsStayWithinWidthAndLoseNothing) {
  std::string path = "タスク: \"C:\\";
  while (path.size() < 2000) path += "フォルダ\\long_name_without_blanks ";
  const Lines lines = Break(path, 100);
  std::string joined;
  for (const auto& line : lines) {
    EXPECT_LE(line.size(), 100u);
    joined += line;
  }
  std::string blanksRemoved = path;
  std::erase(blanksRemoved, ' ');
  std::erase(joined, ' ');
  EXPECT_EQ(joined, blanksRemoved);
}

TEST(BreakLines, StopsAtTheLineLimit) {
  EXPECT_EQ(Break(std::string(1000000, 'x'), 10, 3), (Lines{std::string(10, 'x'), std::string(10, 'x'), std::string(10, 'x')}));
  EXPECT_EQ(Break("a\nb\nc", 10, 2), (Lines{"a", "b"}));
  EXPECT_TRUE(Break("a", 10, 0).empty());
}

}  // namespace
}  // namespace velquin
