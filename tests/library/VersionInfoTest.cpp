// Reading version resources from real executables with known blocks (built beside
// this test), and from this test program's own block.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "library/HAboutForm_VersionFormat.h"
#include "library/HLVGeneralRoutines.h"

namespace velquin {
namespace {

enum Key : uint8_t {
  kComments, kCompanyName, kFileDescription, kFileVersion, kInternalName, kLegalCopyright,
  kLegalTrademarks, kOriginalFilename, kPrivateBuild, kProductName, kProductVersion, kSpecialBuild
};

std::string Beside(const std::string& name) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, length);
  return dir.substr(0, dir.find_last_of("\\/") + 1) + name;
}

TEST(ReadVersionInfoString, ReadsTheFirstTranslationsTable) {
  const std::string file = Beside("version_japanese.exe");
  struct Row {
    Key key;
    const char* expected;
  };
  const Row rows[] = {
      {kFileVersion, "1.0.0.0"},
      {kCompanyName, "Halvern Works"},    // blanks and a tab trimmed at both ends
      {kFileDescription, "fixture"},
      {kLegalCopyright, "(c) Halvern"},   // the counted NUL is gone
      {kProductName, "ヴェルキン"},        // code page 932 both ways
      {kProductVersion, "1.1"},
      {kComments, ""},                    // an empty value
      {kSpecialBuild, ""},                // a missing key
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ReadVersionInfoString(file, row.key), row.expected) << VersionInfoKeys[row.key];
  }
}

TEST(ReadVersionInfoString, AValueEndsAtItsFirstNul) {
  const std::string file = Beside("version_counted_nul.exe");
  EXPECT_EQ(ReadVersionInfoString(file, kComments), "ab");
  EXPECT_EQ(ReadVersionInfoString(file, kFileVersion), "1.0.0.0");
}

TEST(ReadVersionInfoString, OnlyTheFirstTranslationCounts) {
  const std::string file = Beside("version_two_translations.exe");
  EXPECT_EQ(ReadVersionInfoString(file, kFileVersion), "2.3.4.56");
  EXPECT_EQ(ReadVersionInfoString(file, kProductName), "");
}

TEST(ReadVersionInfoString, FilesWithoutABlockGiveEmptyText) {
  for (uint8_t key = 0; key < 12; ++key) {
    EXPECT_EQ(ReadVersionInfoString(Beside("version_none.exe"), key), "");
    EXPECT_EQ(ReadVersionInfoString(Beside("no such file.exe"), key), "");
    EXPECT_EQ(ReadVersionInfoString("", key), "");
  }
}

TEST(ReadVersionInfoString, ABlockWithoutTranslationFails) {
  const struct {
    const char* file;
    Key key;
  } rows[] = {
      {"version_no_translation.exe", kFileVersion},
      {"version_no_translation.exe", kComments},
      // Two bytes cannot hold a translation entry; nothing past them is read.
      {"version_short_translation.exe", kFileVersion},
  };
  for (const auto& row : rows) {
    EXPECT_THAT([&] { ReadVersionInfoString(Beside(row.file), row.key); },
                ::testing::ThrowsMessage<Exception>("情報の取得に失敗しました"))
        << row.file << " key " << int(row.key);
  }
}

TEST(ReadVersionInfoString, RejectsAKeyIndexOutsideTheTable) {
  EXPECT_THROW(ReadVersionInfoString(Beside("version_japanese.exe"), 12), Exception);
  EXPECT_THROW(ReadVersionInfoString(Beside("version_japanese.exe"), 255), Exception);
  EXPECT_THROW(ReadOwnVersionInfoString(-1), Exception);
  EXPECT_THROW(ReadOwnVersionInfoString(12), Exception);
}

TEST(ReadOwnVersionInfoString, ReadsThisProgram) {
  EXPECT_EQ(ReadOwnVersionInfoString(kFileVersion), "1.0.0.0");
  EXPECT_EQ(ReadOwnVersionInfoString(kProductName), "own test");
  EXPECT_EQ(ReadOwnVersionInfoString(kCompanyName), "Halvern");
  EXPECT_EQ(ReadOwnVersionInfoString(kLegalCopyright), "");
}

TEST(BuildVersionString, UsesThisProgramsFileVersion) {
  EXPECT_EQ(BuildVersionString(kDefaultVersionFormat), "1.0.0.0");
  EXPECT_EQ(BuildVersionString(kAllVersionFormat), "1.0.0 Build 0");
  EXPECT_EQ(BuildVersionString(TVersionFormat{vfBuild}), "Build 0");
}

}  // namespace
}  // namespace velquin
