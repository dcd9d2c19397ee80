// Win32FileSystem, and the existence test and parse over it, on a real folder that
// prepare_files.sh filled from the Unix side; its path arrives in VELQUIN_TEST_FILES.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

#include "core/tasks/TaskLine.h"
#include "platform/Win32FileSystem.h"

namespace velquin {
namespace {

enum class Found { Nothing, File, Directory };

const char* ToText(Found f) {
  return f == Found::Nothing ? "nothing" : f == Found::File ? "file" : "directory";
}

Found Classify(const std::optional<DirEntry>& entry) {
  if (!entry) return Found::Nothing;
  return entry->isDirectory ? Found::Directory : Found::File;
}

uint64_t Ticks(const FILETIME& ft) {
  return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

// FILETIME of a local wall-clock time in this process's time zone.
uint64_t LocalTimeTicks(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
  SYSTEMTIME local{};
  local.wYear = year;
  local.wMonth = month;
  local.wDay = day;
  local.wHour = hour;
  local.wMinute = minute;
  local.wSecond = second;
  SYSTEMTIME utc;
  FILETIME ft;
  EXPECT_TRUE(TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc));
  EXPECT_TRUE(SystemTimeToFileTime(&utc, &ft));
  return Ticks(ft);
}

class Win32FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* unixDir = std::getenv("VELQUIN_TEST_FILES");
    ASSERT_NE(unixDir, nullptr) << "VELQUIN_TEST_FILES must name the prepared folder";
    dir_ = std::string("Z:") + unixDir;
    std::replace(dir_.begin(), dir_.end(), '/', '\\');
    char cwd[MAX_PATH * 2];
    ASSERT_GT(GetCurrentDirectoryA(sizeof cwd, cwd), 0u);
    savedCwd_ = cwd;
  }
  void TearDown() override { SetCurrentDirectoryA(savedCwd_.c_str()); }

  std::string In(const std::string& name) const { return dir_ + "\\" + name; }

  Win32FileSystem fs_;
  std::string dir_;
  std::string savedCwd_;
};

TEST_F(Win32FileSystemTest, FindsFilesAndDirectories) {
  const struct {
    std::string name;
    Found expected;
  } cases[] = {
      {"plain.txt", Found::File},
      {"run.exe", Found::File},
      {"Program Files\\App\\app.exe", Found::File},
      {"ソフト.txt", Found::File},  // its first trail byte is a backslash
      {"a,b.txt", Found::File},
      {"two  spaces.txt", Found::File},
      {"dir", Found::Directory},
      {"Program Files", Found::Directory},
      {"Program", Found::Nothing},
      {"nothere.txt", Found::Nothing},
      {"dir\\nothere.txt", Found::Nothing},
      {"nodir\\plain.txt", Found::Nothing},
      {"two spaces.txt", Found::Nothing},
      {"\"plain.txt\"", Found::Nothing},
      // Wildcards: only the first match counts.
      {"wild\\only*.txt", Found::File},
      {"wild\\only-fil?.txt", Found::File},
      {"wild\\sub*", Found::Directory},
      {"wild\\none*", Found::Nothing},
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(ToText(Classify(fs_.FindFirstEntry(In(c.name)))), ToText(c.expected)) << c.name;
  }
}

TEST_F(Win32FileSystemTest, NameHoldingANulFindsNothing) {
  ASSERT_TRUE(fs_.FindFirstEntry(In("plain.txt")));
  EXPECT_FALSE(fs_.FindFirstEntry(In(std::string("plain.txt\0junk", 14))));
  EXPECT_FALSE(fs_.FindFirstEntry(std::string("\0", 1)));
  EXPECT_FALSE(fs_.FindFirstEntry(""));
}

TEST_F(Win32FileSystemTest, RelativeNamesResolveAgainstTheCurrentDirectory) {
  EXPECT_FALSE(fs_.FindFirstEntry("plain.txt"));
  ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
  EXPECT_EQ(Classify(fs_.FindFirstEntry("plain.txt")), Found::File);
  EXPECT_EQ(Classify(fs_.FindFirstEntry(".\\run.exe")), Found::File);
  EXPECT_EQ(Classify(fs_.FindFirstEntry("dir")), Found::Directory);
  EXPECT_EQ(Classify(fs_.FindFirstEntry("nothere.txt")), Found::Nothing);
  ASSERT_TRUE(SetCurrentDirectoryA(In("dir").c_str()));
  EXPECT_EQ(Classify(fs_.FindFirstEntry("..\\plain.txt")), Found::File);
  EXPECT_EQ(Classify(fs_.FindFirstEntry("plain.txt")), Found::Nothing);
  // "*" alone: the first entry of an ordinary folder is its own "." entry.
  EXPECT_EQ(Classify(fs_.FindFirstEntry("*")), Found::Directory);
}

TEST_F(Win32FileSystemTest, ReportsTheLastWriteTime) {
  const auto entry = fs_.FindFirstEntry(In("y2020.txt"));
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->lastWriteTime, LocalTimeTicks(2020, 5, 5, 10, 0, 0));
}

// The year is either the real local year or missing, never a year wrapped into the
// MS-DOS range; the existence test accepts 1980..2107.
TEST_F(Win32FileSystemTest, LocalDosYearOfRealFiles) {
  const struct {
    const char* name;
    int realYear;
    bool accepted;
  } cases[] = {
      {"y1975.txt", 1975, false},      {"y1979-last.txt", 1979, false},
      {"y1980-first.txt", 1980, true}, {"y2020.txt", 2020, true},
      {"y2107-last.txt", 2107, true},  {"y2108-first.txt", 2108, false},
      {"y2110.txt", 2110, false},
  };
  for (const auto& c : cases) {
    const auto entry = fs_.FindFirstEntry(In(c.name));
    ASSERT_TRUE(entry) << c.name;
    const std::optional<int> year = fs_.LocalDosYear(entry->lastWriteTime);
    if (c.accepted) {
      EXPECT_EQ(year, c.realYear) << c.name;
    } else if (year) {
      EXPECT_EQ(*year, c.realYear) << c.name;
    }
  }
}

TEST_F(Win32FileSystemTest, LocalDosYearOfExtremeTimes) {
  for (const uint64_t ticks : {uint64_t{0}, uint64_t{1}, uint64_t{0x7FFFFFFFFFFFFFFF},
                               uint64_t{0x8000000000000000}, ~uint64_t{0}}) {
    const std::optional<int> year = fs_.LocalDosYear(ticks);
    EXPECT_TRUE(!year || *year < 1980 || *year > 2107) << ticks << " gave " << year.value_or(0);
  }
}

// The existence test and the parse as the program runs them, on real files.
TEST_F(Win32FileSystemTest, ExistenceTestOnRealFiles) {
  const struct {
    std::string name;
    bool exists;
  } cases[] = {
      {"plain.txt", true},
      {"ソフト.txt", true},
      {"Program Files\\App\\app.exe", true},
      {"dir", false},
      {"Program", false},
      {"nothere.txt", false},
      {"wild\\only*.txt", true},
      {"wild\\sub*", false},
      {"y1975.txt", false},
      {"y1979-last.txt", false},
      {"y1980-first.txt", true},
      {"y2107-last.txt", true},
      {"y2108-first.txt", false},
      {"y2110.txt", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TaskFileExists(fs_, In(c.name)), c.exists) << c.name;
  }
  ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
  EXPECT_TRUE(TaskFileExists(fs_, "plain.txt"));
  EXPECT_FALSE(TaskFileExists(fs_, "dir"));
  EXPECT_FALSE(TaskFileExists(fs_, "*"));  // its first match is the folder's "." entry
}

TEST_F(Win32FileSystemTest, ParsesTaskLinesOnRealFiles) {
  const struct {
    std::string line;
    bool ok;
    std::string fileName;
    std::string params;
  } cases[] = {
      {In("Program Files\\App\\app.exe") + " /s", true,
       "\"" + In("Program Files\\App\\app.exe") + "\"", "/s"},
      {"\"" + In("ソフト.txt") + "\" -a", true, "\"" + In("ソフト.txt") + "\"", "-a"},
      {In("ソフト.txt"), true, "\"" + In("ソフト.txt") + "\"", ""},
      {"\"" + In("two  spaces.txt") + "\"", true, "\"" + In("two  spaces.txt") + "\"", ""},
      {In("two  spaces.txt"), false, "", ""},
      {In("a,b.txt"), false, "", ""},
      {In("y2110.txt") + " -x", false, "", ""},
      {"* " + In("plain.txt"), false, "", ""},
  };
  for (const auto& c : cases) {
    std::string fileName, params;
    ASSERT_EQ(ParseTaskLine(fs_, c.line, fileName, params), c.ok) << c.line;
    if (!c.ok) continue;
    EXPECT_EQ(fileName, c.fileName) << c.line;
    EXPECT_EQ(params, c.params) << c.line;
  }
}

}  // namespace
}  // namespace velquin
