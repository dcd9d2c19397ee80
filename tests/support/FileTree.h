#pragma once
// The files and folders the file-system rules are checked on: one list for the
// in-memory file system and for a real folder under Wine, and the tree the
// task-line fuzzers parse against. Plain, spaced, comma'd and Japanese names (whose
// first trail byte is a backslash), folders, a folder of wildcard matches, and
// last-write times on both sides of the MS-DOS date range. Times are local
// wall-clock times: the in-memory file system's local time and the test prefix's
// zone are both 9 hours ahead of UTC.
#include <cstdint>
#include <string>

#include "core/fakes/FakeFileSystem.h"

namespace velquin::test {

struct TreeEntry {
  const char* path;  // below the tree's folder
  bool directory = false;
  int year = 2020, month = 4, day = 1, hour = 21, minute = 0, second = 0;
};

// "\x83\x5C\x83\x74\x83\x67" is ソフト, "\x95\x5C\x8E\xA6" 表示 (code page 932).
inline constexpr TreeEntry kFileTree[] = {
    {"plain.txt"},
    {"run.exe"},
    {"\x83\x5C\x83\x74\x83\x67.txt"},
    {"a,b.txt"},
    {"two  spaces.txt"},
    {"dir", true},
    {"Tools\\run.exe"},
    {"Tools\\a"},
    {"Tools\\a b"},
    {"Program Files\\App\\app.exe"},
    {"Docs\\memo.txt"},
    {"a,b\\x.exe"},
    {"\x83\x5C\x83\x74\x83\x67\\\x95\x5C\x8E\xA6.exe"},
    {"wild\\only-file.txt"},
    {"wild\\subdir", true},
    {"y1975.txt", false, 1975, 6, 1, 12, 0, 0},
    {"y1979-last.txt", false, 1979, 12, 31, 23, 59, 59},
    {"y1980-first.txt", false, 1980, 1, 1, 0, 0, 0},
    {"y2020.txt", false, 2020, 5, 5, 10, 0, 0},
    {"y2107-last.txt", false, 2107, 12, 31, 23, 59, 58},
    {"y2108-first.txt", false, 2108, 1, 1, 0, 0, 0},
    {"y2110.txt", false, 2110, 6, 1, 12, 0, 0},
};

// The FILETIME of a local time 9 hours ahead of UTC.
inline uint64_t FileTimeFromLocal(int year, int month, int day, int hour, int minute, int second) {
  constexpr uint64_t kNineHours = 9ull * 3600 * 10'000'000;
  return FileTimeFromUtc(year, month, day, hour, minute, second) - kNineHours;
}

// Adds the tree below `folder` ("C:" for the root of drive C:).
inline void AddFileTree(FakeFileSystem& fs, const std::string& folder) {
  for (const TreeEntry& e : kFileTree) {
    const std::string path = folder + "\\" + e.path;
    const uint64_t time = FileTimeFromLocal(e.year, e.month, e.day, e.hour, e.minute, e.second);
    if (e.directory)
      fs.AddDirectory(path, time);
    else
      fs.AddFile(path, time);
  }
}

}  // namespace velquin::test
