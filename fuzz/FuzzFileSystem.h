#pragma once
// The file system the task-line fuzzers parse against: plain, spaced, comma'd and
// Japanese names (with trail bytes that look like a backslash), a directory, files
// outside the MS-DOS date range, and C:\Tools as the current directory.
#include "core/fakes/FakeFileSystem.h"

namespace velquin {

inline FakeFileSystem& FuzzFileSystem() {
  static FakeFileSystem* fs = [] {
    auto* f = new FakeFileSystem;
    f->AddFile("C:\\Tools\\run.exe");
    f->AddFile("C:\\Tools\\a");
    f->AddFile("C:\\Program Files\\App\\app.exe");
    f->AddFile("C:\\Docs\\memo.txt");
    f->AddDirectory("C:\\Windows");
    f->AddFile("C:\\a,b\\x.exe");
    f->AddFile("C:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C\x8E\xA6.exe");
    f->AddFile("C:\\Old\\1975.exe", FileTimeFromUtc(1975, 6, 1));
    f->AddFile("C:\\Old\\2110.exe", FileTimeFromUtc(2110, 6, 1));
    f->SetCurrentDirectory("C:\\Tools");
    f->AddFile("a b");
    return f;
  }();
  return *fs;
}

}  // namespace velquin
