// The file-system rules on the in-memory file system, and what only it can hold.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "core/fakes/FakeFileSystem.h"
#include "core/tasks/TaskLine.h"
#include "tests/support/FileSystemContract.h"
#include "tests/support/FileTree.h"

namespace velquin::test {
namespace {

class InMemoryWorld : public FileSystemWorld {
 public:
  InMemoryWorld() { AddFileTree(fs_, Folder()); }
  FileSystem& Files() override { return fs_; }
  std::string Folder() const override { return "C:\\Files"; }
  bool SetCurrentDirectory(const std::string& path) override { return fs_.SetCurrentDirectory(path); }

 private:
  FakeFileSystem fs_;
};

INSTANTIATE_TEST_SUITE_P(, FileSystemContract,
                         ::testing::Values(FileSystemKind{"InMemory", [] { return std::make_unique<InMemoryWorld>(); }}),
                         FileSystemKindName);

// A drive's root lists no "." and ".."; a time no real file can carry has no year.
TEST(FakeFileSystem, RootsAndTheLastPossibleTime) {
  FakeFileSystem fs;
  fs.AddFile("C:\\top.exe");
  fs.AddFile("C:\\Edge\\max.exe", UINT64_MAX);
  EXPECT_TRUE(TaskFileExists(fs, "C:\\*.exe"));
  EXPECT_FALSE(TaskFileExists(fs, "C:\\Edge\\max.exe"));
}

}  // namespace
}  // namespace velquin::test
