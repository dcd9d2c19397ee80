#pragma once
// An in-memory file system with Windows rules: drive-letter paths, names compared
// without case, a current directory for relative names, "*" and "?" patterns in the
// last component of which only the first matching entry counts (a directory other
// than a root lists "." and ".." first, then its entries by name), last-write times,
// and local time a fixed 9 hours ahead of UTC.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ports/FileSystem.h"

namespace velquin {

// A FILETIME for the given UTC date and time (0 for dates before 1601).
uint64_t FileTimeFromUtc(int year, int month, int day, int hour = 0, int minute = 0,
                         int second = 0);

class FakeFileSystem : public FileSystem {
 public:
  static const uint64_t kDefaultWriteTime;  // 2020-04-01 12:00 UTC

  // Drive C: with its root as the current directory.
  FakeFileSystem();

  // Adds or replaces a file or directory, creating missing parent directories. A
  // relative path resolves against the current directory. Names holding characters
  // that Windows forbids (control characters, " * : < > ? |) are refused: false.
  bool AddFile(std::string_view path, uint64_t lastWriteTime = kDefaultWriteTime);
  bool AddDirectory(std::string_view path, uint64_t lastWriteTime = kDefaultWriteTime);
  // Removes a file or a directory with everything in it; false when nothing is there.
  bool Remove(std::string_view path);
  // Makes `path` the current directory, creating it when missing.
  bool SetCurrentDirectory(std::string_view path);

  std::optional<DirEntry> FindFirstEntry(std::string_view pattern) override;
  std::optional<int> LocalDosYear(uint64_t fileTime) override;

 private:
  struct Node {
    std::string name;
    bool isDirectory = true;
    uint64_t lastWriteTime = kDefaultWriteTime;
    std::map<std::string, Node> children;  // by folded name, so listed in name order
  };
  struct ResolvedPath {
    std::vector<std::string> parts;  // the drive ("C:") first, then the components
    bool trailingSeparator = false;
  };

  std::optional<ResolvedPath> Resolve(std::string_view path) const;
  Node* Walk(const std::vector<std::string>& parts, size_t count);
  bool Add(std::string_view path, bool isDirectory, uint64_t lastWriteTime);

  std::map<std::string, Node> drives_;
  std::vector<std::string> current_;
};

// Passes everything to another file system and counts the directory searches.
class CountingFileSystem : public FileSystem {
 public:
  explicit CountingFileSystem(FileSystem& inner) : inner_(inner) {}

  std::optional<DirEntry> FindFirstEntry(std::string_view pattern) override {
    ++searches_;
    return inner_.FindFirstEntry(pattern);
  }
  std::optional<int> LocalDosYear(uint64_t fileTime) override {
    return inner_.LocalDosYear(fileTime);
  }

  long long Searches() const { return searches_; }
  void ResetCount() { searches_ = 0; }

 private:
  FileSystem& inner_;
  long long searches_ = 0;
};

}  // namespace velquin
