#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <set>
#include <vector>

#include "library/HAboutForm_VersionFormat.h"
#include "library/HLVGeneralRoutines.h"

namespace velquin {
namespace {

using ::testing::Property;
using ::testing::Throws;
using ::testing::ThrowsMessage;

TVersionFormat F(int bits) { return TVersionFormat::FromByte(static_cast<uint8_t>(bits)); }

TEST(VersionFormat, ElementNIsBitN) {
  EXPECT_EQ(TVersionFormat({vfMajor, vfBuild}).Byte(), 9);
  EXPECT_EQ(TVersionFormat({vfBuildSeparation}).Byte(), 16);
  EXPECT_EQ(kDefaultVersionFormat.Byte(), 15);
  EXPECT_EQ(kAllVersionFormat.Byte(), 31);
  EXPECT_EQ(F(0xFF).Byte(), 31);  // bits that name no element are dropped
}

TEST(VersionFormat, SetterNormalisesAssignments) {
  struct Row {
    int current, requested, expected;
  };
  const Row rows[] = {
      {15, 14, 8},   // major removed: minor and release go, build comes
      {15, 13, 9},   // minor removed: release goes
      {15, 11, 11},  // release removed
      {15, 7, 7},    // build removed
      {15, 31, 31},  // separation added
      {15, 0, 8},
      {15, 16, 24},
      {15, 6, 8},
      {31, 23, 7},  // build removed: the separation goes with it
      {8, 0, 7},    // build removed, nothing left: release, which drags in minor and major
      {8, 12, 15},  // release added
      {7, 23, 31},
      {24, 8, 8},
      {15, 15, 15},  // the current value again
  };
  for (const Row& row : rows) {
    EXPECT_EQ(NormaliseVersionFormat(F(row.current), F(row.requested)).Byte(), row.expected)
        << "current " << row.current << ", requested " << row.requested;
  }
}

TEST(VersionFormat, ExactlyElevenSetsAreReachableFromTheDefault) {
  std::set<int> reached = {15};
  std::vector<int> pending = {15};
  while (!pending.empty()) {
    const int current = pending.back();
    pending.pop_back();
    for (int requested = 0; requested < 32; ++requested) {
      const int next = NormaliseVersionFormat(F(current), F(requested)).Byte();
      if (reached.insert(next).second) pending.push_back(next);
    }
  }
  EXPECT_EQ(reached, (std::set<int>{1, 3, 7, 8, 9, 11, 15, 24, 25, 27, 31}));
}

TEST(BuildVersionString, AssemblesTheFormats) {
  struct Row {
    const char* version;
    int format;
    const char* expected;
  };
  const Row rows[] = {
      {"1.0.0.0", 15, "1.0.0.0"},       {"1.0.0.0", 31, "1.0.0 Build 0"},
      {"1.0.0.0", 8, "Build 0"},        {"2.3.4.56", 15, "2.3.4.56"},
      {"2.3.4.56", 31, "2.3.4 Build 56"}, {"2.3.4.56", 1, "2"},
      {"2.3.4.56", 3, "2.3"},           {"2.3.4.56", 7, "2.3.4"},
      {"2.3.4.56", 9, "2.56"},          {"2.3.4.56", 11, "2.3.56"},
      {"2.3.4.56", 25, "2 Build 56"},   {"2.3.4.56", 27, "2.3 Build 56"},
      {"2.3.4.56", 8, "Build 56"},      {"2.3.4.56", 24, "Build 56"},
      {"1.02.003.0004", 15, "1.2.3.4"}, {"2.3.4.56", 0, ""},
      {"2.3.4.56", 16, ""},  // the separation alone adds nothing
      {"-1.$10. 7.0x7FFFFFFF", 15, "-1.16.7.2147483647"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(BuildVersionString(row.version, F(row.format)), row.expected)
        << row.version << " under " << row.format;
  }
}

TEST(BuildVersionString, NamesThePartThatIsNoInteger) {
  struct Row {
    const char* version;
    const char* unconverted;
  };
  const Row rows[] = {
      {"", ""},           {"1.0", ""},  {"1.2.3.4.5", "4.5"}, {"1, 0, 0, 0", ""},
      {"1.0.0.a", "a"},   {"a.b.c.d", "a"}, {"1..2.3", ""},   {"1.0.0.0 ", "0 "},
  };
  for (const Row& row : rows) {
    EXPECT_THAT([&] { BuildVersionString(row.version, kDefaultVersionFormat); },
                ThrowsMessage<EConvertError>(std::string("'") + row.unconverted + "' は整数ではありません"))
        << row.version;
  }
}

TEST(StrToInt, AcceptsDecimalAndPrefixedHexadecimal) {
  struct Row {
    const char* text;
    int32_t value;
  };
  const Row rows[] = {
      {"0", 0},
      {"007", 7},
      {"  42", 42},
      {"+5", 5},
      {"-5", -5},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"$ff", 255},
      {"xFF", 255},
      {"X10", 16},
      {"0x1f", 31},
      {"0X1F", 31},
      {"$FFFFFFFF", -1},
      {"$80000000", INT32_MIN},
      {"-$10", -16},
      {"+0x00000001", 1},
      {"00000000000000000000000012", 12},
  };
  for (const Row& row : rows) EXPECT_EQ(StrToInt(row.text), row.value) << row.text;
}

TEST(StrToInt, RejectsEverythingElse) {
  const char* rows[] = {
      "",          " ",          "-",          "+",         "1 ",        "\t1",
      "1.0",       "2147483648", "-2147483649", "99999999999999999999",   "$",
      "0x",        "x",          "$123456789", "0x0000000001", "$G",    "--1",
      "+-1",       "- 1",        "1e3",        "0b1",       "\xef\xbc\x91",  // full-width one
  };
  for (const char* text : rows) {
    EXPECT_THAT([&] { StrToInt(text); }, ThrowsMessage<EConvertError>(std::string("'") + text + "' は整数ではありません"))
        << text;
  }
  // The text is quoted as it came, even with a NUL inside (which what() would cut).
  const std::string withNul("1\0" "2", 3);
  EXPECT_THAT([&] { StrToInt(withNul); },
              Throws<EConvertError>(Property(&EConvertError::Message, "'" + withNul + "' は整数ではありません")));
}

TEST(FormatText, FillsPlaceholdersInOrderWithoutRescanning) {
  EXPECT_EQ(FormatText("%s と %s", {"a", "b"}), "a と b");
  EXPECT_EQ(FormatText("%s", {"%s"}), "%s");
  EXPECT_EQ(FormatText("%s %s", {"x"}), "x %s");
  EXPECT_EQ(FormatText("100%", {"x"}), "100%");
  EXPECT_EQ(FormatText("", {}), "");
}

}  // namespace
}  // namespace velquin
