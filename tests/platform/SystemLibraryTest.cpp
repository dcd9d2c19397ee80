// System libraries come from the system folder, never from the program's own.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/SystemLibrary.h"

namespace velquin {
namespace {

std::string Folder(HMODULE module) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(module, path, MAX_PATH);
  std::string text = path;
  return text.substr(0, text.rfind('\\'));
}

std::string SystemFolder() {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  return folder;
}

TEST(SystemLibrary, LoadsFromTheSystemFolderOnly) {
  for (const char* name : {"shell32.dll", "comdlg32.dll"}) {
    HMODULE module = LoadSystemLibrary(name);
    ASSERT_NE(module, nullptr) << name;
    EXPECT_EQ(lstrcmpiA(Folder(module).c_str(), SystemFolder().c_str()), 0) << Folder(module) << " " << name;
  }

  // A file of that name beside the program is never looked at.
  const std::string planted = Folder(nullptr) + "\\velquin_planted.dll";
  FILE* file = std::fopen(planted.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("not a library", file);
  std::fclose(file);
  RestrictDllSearchToSystem();
  SetLastError(0);
  EXPECT_EQ(LoadSystemLibrary("velquin_planted.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));  // not found, rather than malformed
  SetLastError(0);
  EXPECT_EQ(LoadLibraryA("velquin_planted.dll"), nullptr);  // the search at start skips the program's folder too
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  std::remove(planted.c_str());
}

}  // namespace
}  // namespace velquin
