// Splitting a task line into words and what the parse and the existence test do
// whatever the file system; the rules over files are the file-system contract's.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/fakes/FakeFileSystem.h"
#include "core/tasks/TaskLine.h"

namespace velquin {

void PrintTo(const TaskWord& word, std::ostream* out) { *out << "[" << word.text << "] to " << word.end; }

namespace {

using ::testing::AllOf;
using ::testing::ElementsAreArray;
using ::testing::Field;

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
    std::vector<::testing::Matcher<TaskWord>> words;
    for (const ExpectedWord& w : c.words)
      words.push_back(AllOf(Field(&TaskWord::text, w.text), Field(&TaskWord::end, w.end)));
    EXPECT_THAT(SplitTaskWords(c.text), ElementsAreArray(words)) << "line [" << c.text << "]";
  }
}

// A file system whose one entry and year conversion the test chooses.
struct FixedFileSystem : FileSystem {
  std::optional<DirEntry> entry;
  std::optional<int> year;
  std::optional<DirEntry> FindFirstEntry(std::string_view) override { return entry; }
  std::optional<int> LocalDosYear(uint64_t) override { return year; }
};

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

}  // namespace
}  // namespace velquin
