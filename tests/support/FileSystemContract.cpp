#include "tests/support/FileSystemContract.h"

#include <cstdint>
#include <optional>
#include <string>

#include "core/fakes/FakeFileSystem.h"
#include "core/tasks/TaskLine.h"

namespace velquin::test {

std::string FileSystemContract::Placed(const std::string& text) const {
  std::string placed = text;
  const std::string folder = world_->Folder();
  for (size_t at = placed.find("{F}"); at != std::string::npos; at = placed.find("{F}", at + folder.size()))
    placed.replace(at, 3, folder);
  return placed;
}

namespace {

enum class Found { Nothing, File, Directory };

const char* ToText(Found f) { return f == Found::Nothing ? "nothing" : f == Found::File ? "file" : "directory"; }

const char* Classify(const std::optional<DirEntry>& entry) {
  return ToText(!entry ? Found::Nothing : entry->isDirectory ? Found::Directory : Found::File);
}

// "\x83\x5C\x83\x74\x83\x67" is ソフト, "\x95\x5C\x8E\xA6" 表示, "\x82\xA0" あ.
#define SOFT "\x83\x5C\x83\x74\x83\x67"

TEST_P(FileSystemContract, FindsFilesAndDirectories) {
  const struct {
    const char* name;
    Found expected;
  } rows[] = {
      {"plain.txt", Found::File},
      {"run.exe", Found::File},
      {"Program Files\\App\\app.exe", Found::File},
      {SOFT ".txt", Found::File},  // its first trail byte is a backslash
      {SOFT "\\\x95\x5C\x8E\xA6.exe", Found::File},
      {"a,b.txt", Found::File},
      {"two  spaces.txt", Found::File},
      {"TOOLS\\Run.EXE", Found::File},  // names compare without case
      {"dir", Found::Directory},
      {"Program Files", Found::Directory},
      {"Program", Found::Nothing},
      {"nothere.txt", Found::Nothing},
      {"dir\\nothere.txt", Found::Nothing},
      {"nodir\\plain.txt", Found::Nothing},
      {"plain.txt\\x", Found::Nothing},
      {"two spaces.txt", Found::Nothing},
      {"\"plain.txt\"", Found::Nothing},
      // Wildcards: only the first match counts; a folder lists "." first.
      {"wild\\only*.txt", Found::File},
      {"wild\\only-fil?.txt", Found::File},
      {"wild\\sub*", Found::Directory},
      {"wild\\none*", Found::Nothing},
      {"Tools\\*", Found::Directory},
      {"Tools\\r?n.*", Found::File},
  };
  for (const auto& row : rows) {
    EXPECT_STREQ(Classify(Files().FindFirstEntry(Placed(std::string("{F}\\") + row.name))), ToText(row.expected))
        << row.name;
  }
}

TEST_P(FileSystemContract, NameHoldingANulFindsNothing) {
  ASSERT_TRUE(Files().FindFirstEntry(Placed("{F}\\plain.txt")));
  EXPECT_FALSE(Files().FindFirstEntry(Placed("{F}\\plain.txt") + std::string("\0junk", 5)));
  EXPECT_FALSE(Files().FindFirstEntry(std::string("\0", 1)));
  EXPECT_FALSE(Files().FindFirstEntry(""));
}

TEST_P(FileSystemContract, RelativeNamesResolveAgainstTheCurrentDirectory) {
  ASSERT_TRUE(world_->SetCurrentDirectory(Placed("{F}\\Docs")));
  EXPECT_STREQ(Classify(Files().FindFirstEntry("plain.txt")), "nothing");
  ASSERT_TRUE(world_->SetCurrentDirectory(Placed("{F}")));
  EXPECT_STREQ(Classify(Files().FindFirstEntry("plain.txt")), "file");
  EXPECT_STREQ(Classify(Files().FindFirstEntry(".\\run.exe")), "file");
  EXPECT_STREQ(Classify(Files().FindFirstEntry("dir")), "directory");
  EXPECT_STREQ(Classify(Files().FindFirstEntry("nothere.txt")), "nothing");
  ASSERT_TRUE(world_->SetCurrentDirectory(Placed("{F}\\dir")));
  EXPECT_STREQ(Classify(Files().FindFirstEntry("..\\plain.txt")), "file");
  EXPECT_STREQ(Classify(Files().FindFirstEntry("plain.txt")), "nothing");
  // "*" alone: the first entry of an ordinary folder is its own "." entry.
  EXPECT_STREQ(Classify(Files().FindFirstEntry("*")), "directory");
}

TEST_P(FileSystemContract, ReportsTheLastWriteTime) {
  const auto entry = Files().FindFirstEntry(Placed("{F}\\y2020.txt"));
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->lastWriteTime, FileTimeFromUtc(2020, 5, 5, 1, 0, 0));  // 10:00 local
}

// The year is either the real local year or missing, never a year wrapped into the
// MS-DOS range.
TEST_P(FileSystemContract, LocalDosYearOfFilesAndOfExtremeTimes) {
  const struct {
    const char* name;
    int realYear;
    bool inRange;
  } rows[] = {
      {"y1975.txt", 1975, false},      {"y1979-last.txt", 1979, false},
      {"y1980-first.txt", 1980, true}, {"y2020.txt", 2020, true},
      {"y2107-last.txt", 2107, true},  {"y2108-first.txt", 2108, false},
      {"y2110.txt", 2110, false},
  };
  for (const auto& row : rows) {
    const auto entry = Files().FindFirstEntry(Placed(std::string("{F}\\") + row.name));
    ASSERT_TRUE(entry) << row.name;
    const std::optional<int> year = Files().LocalDosYear(entry->lastWriteTime);
    if (row.inRange) {
      EXPECT_EQ(year, row.realYear) << row.name;
    } else if (year) {
      EXPECT_EQ(*year, row.realYear) << row.name;
    }
  }
  for (const uint64_t ticks : {uint64_t{0}, uint64_t{1}, uint64_t{0x7FFFFFFFFFFFFFFF}, uint64_t{0x8000000000000000},
                               ~uint64_t{0}}) {
    const std::optional<int> year = Files().LocalDosYear(ticks);
    EXPECT_TRUE(!year || *year < 1980 || *year > 2107) << ticks << " gave " << year.value_or(0);
  }
}

// A task's file exists when the first entry its name finds is a file whose local
// year lies in 1980..2107.
TEST_P(FileSystemContract, TaskFileExists) {
  const struct {
    const char* name;
    bool exists;
  } rows[] = {
      {"{F}\\plain.txt", true},
      {"{F}\\" SOFT ".txt", true},
      {"{F}\\Program Files\\App\\app.exe", true},
      {"{F}\\Tools\\run.exe", true},
      {"{F}\\dir", false},
      {"{F}\\Tools", false},
      {"{F}\\Program", false},
      {"{F}\\nothere.txt", false},
      {"{F}\\wild\\only*.txt", true},
      {"{F}\\wild\\sub*", false},
      {"{F}\\Tools\\*", false},  // "." comes first
      {"{F}\\Tools\\r?n.*", true},
      {"{F}\\y1975.txt", false},
      {"{F}\\y1979-last.txt", false},
      {"{F}\\y1980-first.txt", true},
      {"{F}\\y2107-last.txt", true},
      {"{F}\\y2108-first.txt", false},
      {"{F}\\y2110.txt", false},
  };
  for (const auto& row : rows) EXPECT_EQ(TaskFileExists(Files(), Placed(row.name)), row.exists) << row.name;
  ASSERT_TRUE(world_->SetCurrentDirectory(Placed("{F}")));
  EXPECT_TRUE(TaskFileExists(Files(), "plain.txt"));
  EXPECT_FALSE(TaskFileExists(Files(), "dir"));
  EXPECT_FALSE(TaskFileExists(Files(), "*"));  // its first match is the folder's "." entry
}

TEST_P(FileSystemContract, ParseTaskLine) {
  const struct {
    const char* line;
    bool ok;
    const char* fileName;
    const char* params;
  } rows[] = {
      {"\"{F}\\Program Files\\App\\app.exe\" -a -b", true, "\"{F}\\Program Files\\App\\app.exe\"", "-a -b"},
      {"\"{F}\\Tools\\run.exe\"-x", true, "\"{F}\\Tools\\run.exe\"", "-x"},
      {"\"{F}\\Tools\\run.exe\"  -x  ", true, "\"{F}\\Tools\\run.exe\"", "-x"},
      {"\"{F}\\Tools\\run.exe\"", true, "\"{F}\\Tools\\run.exe\"", ""},
      {"\"{F}\\Tools\\nothere.exe\" {F}\\Tools\\run.exe", false, "", ""},  // no fallback
      {"\"{F}\\Tools\\run.exe", false, "", ""},
      {"{F}\\Program Files\\App\\app.exe /s", true, "\"{F}\\Program Files\\App\\app.exe\"", "/s"},
      {"{F}\\Tools\\run.exe     -x", true, "\"{F}\\Tools\\run.exe\"", "-x"},
      {"{F}\\Tools\\run.exe", true, "\"{F}\\Tools\\run.exe\"", ""},
      {"{F}\\Tools\\run.exe,-x", true, "\"{F}\\Tools\\run.exe\"", ",-x"},
      {"{F}\\Tools\\run.exe\"", true, "\"{F}\\Tools\\run.exe\"", ""},
      {"{F}\\tools\\RUN.EXE", true, "\"{F}\\tools\\RUN.EXE\"", ""},
      {"{F}\\Docs\\memo.txt", true, "\"{F}\\Docs\\memo.txt\"", ""},
      {"{F}\\dir", false, "", ""},
      {"", false, "", ""},
      {"  \t ", false, "", ""},
      {"{F}\\Tools\\*.exe -q", true, "\"{F}\\Tools\\*.exe\"", "-q"},
      {"* {F}\\Tools\\run.exe", false, "", ""},
      {"* {F}\\plain.txt", false, "", ""},
      {"{F}\\two  spaces.txt", false, "", ""},
      {"\"{F}\\two  spaces.txt\"", true, "\"{F}\\two  spaces.txt\"", ""},
      {"{F}\\a,b\\x.exe", false, "", ""},
      {"{F}\\a,b.txt", false, "", ""},
      {"\"{F}\\a,b\\x.exe\" 1", true, "\"{F}\\a,b\\x.exe\"", "1"},
      {"{F}\\" SOFT "\\\x95\x5C\x8E\xA6.exe \x82\xA0", true, "\"{F}\\" SOFT "\\\x95\x5C\x8E\xA6.exe\"", "\x82\xA0"},
      {"\"{F}\\" SOFT ".txt\" -a", true, "\"{F}\\" SOFT ".txt\"", "-a"},
      {"{F}\\" SOFT ".txt", true, "\"{F}\\" SOFT ".txt\"", ""},
      {"{F}\\y1975.txt", false, "", ""},
      {"{F}\\y2110.txt -x", false, "", ""},
      // Parameters follow the stretch of the line the words came from, not the
      // candidate's length.
      {" {F}\\Tools\\run.exe -x", true, "\"{F}\\Tools\\run.exe\"", "-x"},
      {",{F}\\Tools\\run.exe", true, "\"{F}\\Tools\\run.exe\"", ""},
      {"{F}\\Program   Files\\App\\app.exe /s", true, "\"{F}\\Program Files\\App\\app.exe\"", "/s"},
      {"{F}\\Program , Files\\App\\app.exe /s", true, "\"{F}\\Program Files\\App\\app.exe\"", "/s"},
      {" \"{F}\\Program Files\\App\\app.exe\" -a", true, "\"{F}\\Program Files\\App\\app.exe\"", "-a"},
      {"{F}\\Program \"Files\\App\\app.exe\"-a", true, "\"{F}\\Program Files\\App\\app.exe\"", "-a"},
  };
  for (const auto& row : rows) {
    const std::string line = Placed(row.line);
    std::string fileName = "junk", params = "junk";
    ASSERT_EQ(ParseTaskLine(Files(), line, fileName, params), row.ok) << "line [" << line << "]";
    if (!row.ok) continue;
    EXPECT_EQ(fileName, Placed(row.fileName)) << "line [" << line << "]";
    EXPECT_EQ(params, row.params) << "line [" << line << "]";
  }
}

TEST_P(FileSystemContract, ParsedRelativeNamesResolveAgainstTheCurrentDirectory) {
  std::string fileName, params;
  ASSERT_TRUE(world_->SetCurrentDirectory(Placed("{F}\\Docs")));
  EXPECT_FALSE(ParseTaskLine(Files(), "run.exe -a", fileName, params));
  ASSERT_TRUE(world_->SetCurrentDirectory(Placed("{F}\\Tools")));
  ASSERT_TRUE(ParseTaskLine(Files(), "run.exe -a", fileName, params));
  EXPECT_EQ(fileName, "\"run.exe\"");
  EXPECT_EQ(params, "-a");
}

TEST_P(FileSystemContract, TheParseSearchesOncePerCandidate) {
  CountingFileSystem counting(Files());
  const struct {
    const char* line;
    long long searches;
  } rows[] = {
      {"\"{F}\\Tools\\nothere.exe\" a b c", 1},
      {"{F}\\Program Files\\App\\app.exe /s", 2},
      {"{F}\\no such file here", 4},
      {"{F}\\no,,,,,,,,,,,,,,, ,, ,,", 1},  // empty words repeat a failed candidate
      {",,,,", 0},
      {"\"\" x", 0},  // an empty name needs no search
  };
  for (const auto& row : rows) {
    counting.ResetCount();
    std::string fileName, params;
    ParseTaskLine(counting, Placed(row.line), fileName, params);
    EXPECT_EQ(counting.Searches(), row.searches) << "line [" << row.line << "]";
  }
}

}  // namespace
}  // namespace velquin::test
