#pragma once
// What the task-line parser needs of the file system: the first entry a directory
// search returns, and the conversion of its last-write time to a local MS-DOS date.
#include <cstdint>
#include <optional>
#include <string_view>

namespace velquin {

struct DirEntry {
  bool isDirectory = false;
  // Last-write time as a FILETIME: 100-ns ticks since 1601-01-01 UTC.
  uint64_t lastWriteTime = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // First entry matching `pattern` ("*" and "?" are wildcards, relative names
  // resolve against the current directory); nullopt when nothing matches.
  virtual std::optional<DirEntry> FindFirstEntry(std::string_view pattern) = 0;
  // Year of `fileTime` once converted to local time and then to an MS-DOS date;
  // nullopt when either conversion fails.
  virtual std::optional<int> LocalDosYear(uint64_t fileTime) = 0;
};

}  // namespace velquin
