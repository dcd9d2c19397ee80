#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/fakes/FakeFileSystem.h"
#include "core/tasks/TaskLine.h"

namespace velquin {
namespace {

struct ExpectedWord {
  std::string text;
  size_t end;
};

TEST(SplitTaskWords, BlanksCommasAndQuotes) {
  struct Case {
    std::string text;
    std::vector<ExpectedWord> words;
  } cases[] = {
      {"", {}},
      {" \t ", {}},
      {"a b", {{"a", 1}, {"b", 3}}},
      {"  a   b  ", {{"a", 3}, {"b", 7}}},
      {"a,b", {{"a", 1}, {"b", 3}}},
      {"a , b", {{"a", 1}, {"b", 5}}},
      {"a,,b", {{"a", 1}, {"", 2}, {"b", 4}}},
      {"a, ,b", {{"a", 1}, {"", 3}, {"b", 5}}},
      {",a", {{"", 0}, {"a", 2}}},
      {"a,", {{"a", 1}, {"", 2}}},
      {"a, ", {{"a", 1}}},  // the comma is not the last character
      {"\"a b\" c", {{"a b", 5}, {"c", 7}}},
      {"\"a\"\"b\"x", {{"a\"b", 6}, {"x", 7}}},
      {"a\"b c", {{"a\"b", 3}, {"c", 5}}},  // a quote inside a plain word is ordinary
      {"\"abc", {{"ab", 4}}},               // unclosed: the rest less its last character
      {"\"abc\"\"", {{"abc", 6}}},
      {"\"a", {{"", 2}}},
      {"\"", {{"", 1}}},
      {"\"ab\x83\x5C", {{"ab", 5}}},        // the last character is a double-byte one
      {"\x83\x5C x", {{"\x83\x5C", 2}, {"x", 4}}},
      {"\x81,b c", {{"\x81,b", 3}, {"c", 5}}},  // a lead byte takes the next byte with it
      {std::string("a\0b c", 5), {{std::string("a\0b", 3), 3}, {"c", 5}}},  // NUL is no blank
  };
  for (const Case& c : cases) {
    const std::vector<TaskWord> words = SplitTaskWords(c.text);
    ASSERT_EQ(words.size(), c.words.size()) << "line [" << c.text << "]";
    for (size_t i = 0; i < words.size(); ++i) {
      EXPECT_EQ(words[i].text, c.words[i].text) << "line [" << c.text << "] word " << i;
      EXPECT_EQ(words[i].end, c.words[i].end) << "line [" << c.text << "] word " << i;
    }
  }
}

// A file system whose one entry and year conversion the test chooses.
struct FixedFileSystem : FileSystem {
  std::optional<DirEntry> entry;
  std::optional<int> year;
  std::optional<DirEntry> FindFirstEntry(std::string_view) override { return entry; }
  std::optional<int> LocalDosYear(uint64_t) override { return year; }
};

class TaskLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs_.AddFile("C:\\Tools\\run.exe");
    fs_.AddFile("C:\\Program Files\\App\\app.exe");
    fs_.AddFile("C:\\Docs\\memo.txt");
    fs_.AddDirectory("C:\\Windows");
    fs_.AddFile("C:\\Two  Blanks\\x.exe");
    fs_.AddFile("C:\\a,b\\x.exe");
    fs_.AddFile("C:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C\x8E\xA6.exe");  // C:\ソフト\表示.exe
    fs_.AddFile("C:\\Old\\1975.exe", FileTimeFromUtc(1975, 6, 1));
    fs_.AddFile("C:\\Old\\2110.exe", FileTimeFromUtc(2110, 6, 1));
  }

  FakeFileSystem fs_;
};

TEST_F(TaskLineTest, ParseTaskLine) {
  struct Case {
    std::string line;
    bool ok;
    std::string fileName;
    std::string params;
  } cases[] = {
      {"\"C:\\Program Files\\App\\app.exe\" -a -b", true, "\"C:\\Program Files\\App\\app.exe\"", "-a -b"},
      {"\"C:\\Tools\\run.exe\"-x", true, "\"C:\\Tools\\run.exe\"", "-x"},
      {"\"C:\\Tools\\run.exe\"  -x  ", true, "\"C:\\Tools\\run.exe\"", "-x"},
      {"\"C:\\Tools\\run.exe\"", true, "\"C:\\Tools\\run.exe\"", ""},
      {"\"C:\\Tools\\nothere.exe\" C:\\Tools\\run.exe", false, "", ""},  // no fallback
      {"\"C:\\Tools\\run.exe", false, "", ""},
      {"C:\\Program Files\\App\\app.exe /s", true, "\"C:\\Program Files\\App\\app.exe\"", "/s"},
      {"C:\\Tools\\run.exe     -x", true, "\"C:\\Tools\\run.exe\"", "-x"},
      {"C:\\Tools\\run.exe", true, "\"C:\\Tools\\run.exe\"", ""},
      {"C:\\Tools\\run.exe,-x", true, "\"C:\\Tools\\run.exe\"", ",-x"},
      {"C:\\Tools\\run.exe\"", true, "\"C:\\Tools\\run.exe\"", ""},
      {"c:\\tools\\RUN.EXE", true, "\"c:\\tools\\RUN.EXE\"", ""},
      {"C:\\Docs\\memo.txt", true, "\"C:\\Docs\\memo.txt\"", ""},
      {"C:\\Windows", false, "", ""},
      {"", false, "", ""},
      {"  \t ", false, "", ""},
      {"C:\\Tools\\*.exe -q", true, "\"C:\\Tools\\*.exe\"", "-q"},
      {"* C:\\Tools\\run.exe", false, "", ""},
      {"C:\\Two  Blanks\\x.exe", false, "", ""},
      {"\"C:\\Two  Blanks\\x.exe\"", true, "\"C:\\Two  Blanks\\x.exe\"", ""},
      {"C:\\a,b\\x.exe", false, "", ""},
      {"\"C:\\a,b\\x.exe\" 1", true, "\"C:\\a,b\\x.exe\"", "1"},
      {"C:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C\x8E\xA6.exe \x82\xA0",
       true, "\"C:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C\x8E\xA6.exe\"", "\x82\xA0"},
      {"C:\\Old\\1975.exe", false, "", ""},
      {"C:\\Old\\2110.exe", false, "", ""},
      // Parameters follow the stretch of the line the words came from, not the
      // candidate's length.
      {" C:\\Tools\\run.exe -x", true, "\"C:\\Tools\\run.exe\"", "-x"},
      {",C:\\Tools\\run.exe", true, "\"C:\\Tools\\run.exe\"", ""},
      {"C:\\Program   Files\\App\\app.exe /s", true, "\"C:\\Program Files\\App\\app.exe\"", "/s"},
      {"C:\\Program , Files\\App\\app.exe /s", true, "\"C:\\Program Files\\App\\app.exe\"", "/s"},
      {" \"C:\\Program Files\\App\\app.exe\" -a", true, "\"C:\\Program Files\\App\\app.exe\"", "-a"},
      {"C:\\Program \"Files\\App\\app.exe\"-a", true, "\"C:\\Program Files\\App\\app.exe\"", "-a"},
  };
  for (const Case& c : cases) {
    std::string fileName = "junk";
    std::string params = "junk";
    ASSERT_EQ(ParseTaskLine(fs_, c.line, fileName, params), c.ok) << "line [" << c.line << "]";
    if (!c.ok) continue;
    EXPECT_EQ(fileName, c.fileName) << "line [" << c.line << "]";
    EXPECT_EQ(params, c.params) << "line [" << c.line << "]";
  }
}

TEST_F(TaskLineTest, RelativeNamesResolveAgainstTheCurrentDirectory) {
  std::string fileName, params;
  EXPECT_FALSE(ParseTaskLine(fs_, "run.exe -a", fileName, params));
  fs_.SetCurrentDirectory("C:\\Tools");
  ASSERT_TRUE(ParseTaskLine(fs_, "run.exe -a", fileName, params));
  EXPECT_EQ(fileName, "\"run.exe\"");
  EXPECT_EQ(params, "-a");
}

TEST_F(TaskLineTest, SearchesOncePerCandidate) {
  CountingFileSystem counting(fs_);
  struct Case {
    std::string line;
    long long searches;
  } cases[] = {
      {"\"C:\\Tools\\nothere.exe\" a b c", 1},
      {"C:\\Program Files\\App\\app.exe /s", 2},
      {"C:\\no such file here", 4},
      {"C:\\no,,,,,,,,,,,,,,, ,, ,,", 1},  // empty words repeat a failed candidate
      {",,,,", 0},
      {"\"\" x", 0},                        // an empty name needs no search
  };
  for (const Case& c : cases) {
    counting.ResetCount();
    std::string fileName, params;
    ParseTaskLine(counting, c.line, fileName, params);
    EXPECT_EQ(counting.Searches(), c.searches) << "line [" << c.line << "]";
  }
}

TEST(TaskLine, OverlongLinesStopWithoutSearching) {
  FixedFileSystem nothing;
  CountingFileSystem counting(nothing);
  std::string fileName, params;
  EXPECT_FALSE(ParseTaskLine(counting, "\"" + std::string(70000, 'a') + "\"", fileName, params));
  EXPECT_EQ(counting.Searches(), 0);
  std::string words;
  for (int i = 0; i < 100000; ++i) words += "ab ";
  EXPECT_FALSE(ParseTaskLine(counting, words, fileName, params));
  EXPECT_LE(counting.Searches(), 70000 / 3 + 1);
}

TEST(TaskFileExists, ChecksTheYearItselfAndRefusesNul) {
  FixedFileSystem fs;
  fs.entry = DirEntry{false, 0};
  for (int year : {1979, 2108}) {  // a conversion that wraps instead of failing
    fs.year = year;
    EXPECT_FALSE(TaskFileExists(fs, "x")) << year;
  }
  fs.year = 2000;
  EXPECT_TRUE(TaskFileExists(fs, "x"));
  EXPECT_FALSE(TaskFileExists(fs, std::string("x\0y", 3)));
}

TEST(TaskFileExists, OverTheFakeFileSystem) {
  FakeFileSystem fs;
  fs.AddFile("C:\\Tools\\run.exe");
  fs.AddFile("C:\\top.exe");
  fs.AddFile("C:\\Edge\\early.exe", FileTimeFromUtc(1979, 12, 31, 15));  // local 1980-01-01
  fs.AddFile("C:\\Edge\\late.exe", FileTimeFromUtc(1979, 12, 31, 14));   // local 1979
  fs.AddFile("C:\\Edge\\last.exe", FileTimeFromUtc(2107, 12, 31, 14));   // local 2107
  fs.AddFile("C:\\Edge\\past.exe", FileTimeFromUtc(2107, 12, 31, 15));   // local 2108
  fs.AddFile("C:\\Edge\\max.exe", UINT64_MAX);
  struct Case {
    const char* name;
    bool exists;
  } cases[] = {
      {"C:\\Tools\\run.exe", true},  {"C:\\Tools", false},
      {"C:\\Tools\\*", false},       // "." comes first
      {"C:\\*.exe", true},             // a root lists no "." and ".."
      {"C:\\Tools\\r?n.*", true},    {"C:\\Edge\\early.exe", true},
      {"C:\\Edge\\late.exe", false}, {"C:\\Edge\\last.exe", true},
      {"C:\\Edge\\past.exe", false}, {"C:\\Edge\\max.exe", false},
  };
  for (const Case& c : cases) EXPECT_EQ(TaskFileExists(fs, c.name), c.exists) << c.name;
}

}  // namespace
}  // namespace velquin
