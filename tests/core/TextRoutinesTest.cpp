#include <gtest/gtest.h>

#include <string>

#include "library/HLVTextRoutines.h"

namespace velquin {
namespace {

const std::string kFw(kFullWidthSpace);

TEST(TextRoutines, TrimRemovesControlCharactersAndSpacesOnly) {
  EXPECT_EQ(Trim(std::string("\0\t a b\x1f \r\n", 10)), "a b");
  EXPECT_EQ(Trim("\x7f" "a\x7f"), "\x7f" "a\x7f");
  EXPECT_EQ(Trim(" \t "), "");
  EXPECT_EQ(Trim(kFw + "a" + kFw), kFw + "a" + kFw);
}

TEST(TextRoutines, IsTrailByteCountsTheRunOfLeadBytesBeforeIt) {
  EXPECT_FALSE(IsTrailByte("\x82\xA0", 1));
  EXPECT_TRUE(IsTrailByte("a\x95\x5C", 3));  // a trail byte that looks like a backslash
  EXPECT_FALSE(IsTrailByte("\x82\xA0", 3));  // past the end
  EXPECT_FALSE(IsTrailByte(std::string("\x81\0", 2), 2));
  EXPECT_TRUE(IsTrailByte("\x81\x81\x81\x40", 4));   // 81 81 | 81 40
  EXPECT_FALSE(IsTrailByte("\x81\x81\x81\x40", 3));
}

TEST(TextRoutines, TrimFullWidth) {
  struct Case {
    std::string text;
    std::string trimmed;
  } cases[] = {
      {"", ""},
      {"   ", ""},
      {kFw, ""},
      {"\t\r\n " + kFw + "\t" + kFw + kFw + " ", ""},
      {" " + kFw + " abc" + kFw + "\t", "abc"},
      {"a" + kFw + "b", "a" + kFw + "b"},               // inside stays
      {"\x82\x81\x40", "\x82\x81\x40"},                 // 0x81 is a trail byte here
      {"\x81\x81\x81\x40", "\x81\x81"},                 // here it is a lead byte
      {kFw + " " + kFw + "x " + kFw + " " + kFw, "x"},  // blanks and full-width spaces mixed
      {"x" + kFw + kFw + kFw + kFw + kFw, "x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TrimFullWidth(c.text), c.trimmed) << c.text;
    EXPECT_EQ(IsBlank(c.text), c.trimmed.empty()) << c.text;
  }
  EXPECT_FALSE(IsBlank("x"));
}

TEST(TextRoutines, EndsWithText) {
  struct Case {
    std::string sub;
    std::string text;
    bool ends;
  } cases[] = {
      {"c", "abc", true},      {"C", "abc", false},  // case-sensitive
      {"", "", true},          {"", "abc", true},    {"abcd", "abc", false},
      {"abc", "abc", true},    {kFw, "", false},     {kFw, "a", false},
      {kFw, "a" + kFw, true},  {kFw, "\x82\x81\x40", false},
      {"\x40", "\x82\x40", false},  // the ending would start on a trail byte
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EndsWithText(c.sub, c.text), c.ends) << "'" << c.sub << "' in '" << c.text << "'";
  }
}

}  // namespace
}  // namespace velquin
