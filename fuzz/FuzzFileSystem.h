#pragma once
// The file system the task-line fuzzers parse against: the tree the file-system
// rules are checked on, at the root of drive C:, with C:\Tools as the current
// directory.
#include "core/fakes/FakeFileSystem.h"
#include "tests/support/FileTree.h"

namespace velquin {

inline FakeFileSystem& FuzzFileSystem() {
  static FakeFileSystem* fs = [] {
    auto* f = new FakeFileSystem;
    test::AddFileTree(*f, "C:");
    f->SetCurrentDirectory("C:\\Tools");
    return f;
  }();
  return *fs;
}

}  // namespace velquin
