#pragma once
// The rules every FileSystem keeps, as one suite on the same rows for each: the
// in-memory file system (on the host and under Wine) and Win32FileSystem on a real
// folder (under Wine), so that the in-memory rules are checked against the real
// thing. What a search finds, relative names, last-write times and their local
// year, and the existence test and the task-line parse on top of them. A test
// program instantiates the suite with the worlds it has.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "core/ports/FileSystem.h"

namespace velquin::test {

// A file system holding kFileTree (tests/support/FileTree.h) below Folder().
class FileSystemWorld {
 public:
  virtual ~FileSystemWorld() = default;
  virtual FileSystem& Files() = 0;
  // Where the tree is, without a trailing backslash; it holds no blank or comma.
  virtual std::string Folder() const = 0;
  virtual bool SetCurrentDirectory(const std::string& path) = 0;
};

struct FileSystemKind {
  const char* name;
  std::function<std::unique_ptr<FileSystemWorld>()> make;
};
inline void PrintTo(const FileSystemKind& kind, std::ostream* out) { *out << kind.name; }
inline std::string FileSystemKindName(const ::testing::TestParamInfo<FileSystemKind>& info) {
  return info.param.name;
}

class FileSystemContract : public ::testing::TestWithParam<FileSystemKind> {
 protected:
  void SetUp() override {
    world_ = GetParam().make();
    ASSERT_NE(world_, nullptr);
  }
  void TearDown() override { world_.reset(); }

  FileSystem& Files() { return world_->Files(); }
  // `text` with every "{F}" replaced by the tree's folder.
  std::string Placed(const std::string& text) const;

  std::unique_ptr<FileSystemWorld> world_;
};

}  // namespace velquin::test
