// The file-system rules on Win32FileSystem, over a real folder that holds the
// same tree as the in-memory file system's, made here with these last-write times.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/Win32FileSystem.h"
#include "tests/support/FileSystemContract.h"
#include "tests/support/FileTree.h"

namespace velquin::test {
namespace {

std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size() + 1, L'\0');
  wide.resize(MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                  static_cast<int>(wide.size())));
  return wide;
}

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileW(path.c_str());
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

// Creates every folder on the way to `path` (below an existing one).
void MakeFolders(const std::wstring& path) {
  for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1))
    CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
  CreateDirectoryW(path.c_str(), nullptr);
}

bool SetLocalWriteTime(const std::wstring& path, const TreeEntry& e) {
  SYSTEMTIME local{};
  local.wYear = static_cast<WORD>(e.year);
  local.wMonth = static_cast<WORD>(e.month);
  local.wDay = static_cast<WORD>(e.day);
  local.wHour = static_cast<WORD>(e.hour);
  local.wMinute = static_cast<WORD>(e.minute);
  local.wSecond = static_cast<WORD>(e.second);
  SYSTEMTIME utc{};
  FILETIME time{};
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !SystemTimeToFileTime(&utc, &time)) return false;
  const HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool set = SetFileTime(file, nullptr, nullptr, &time) != 0;
  CloseHandle(file);
  return set;
}

class Win32World : public FileSystemWorld {
 public:
  Win32World() {
    wchar_t current[MAX_PATH * 2] = {};
    GetCurrentDirectoryW(MAX_PATH * 2, current);
    saved_ = current;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "velquin-file-tree";
    const std::wstring folder = Wide(folder_);
    RemoveTree(folder);
    MakeFolders(folder);
    for (const TreeEntry& e : kFileTree) {
      const std::wstring path = folder + L"\\" + Wide(e.path);
      if (e.directory) {
        MakeFolders(path);
      } else {
        MakeFolders(path.substr(0, path.rfind(L'\\')));
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << e.path;
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
      }
    }
    // Times last: adding an entry changes its folder's.
    for (const TreeEntry& e : kFileTree) EXPECT_TRUE(SetLocalWriteTime(folder + L"\\" + Wide(e.path), e)) << e.path;
  }
  ~Win32World() override {
    SetCurrentDirectoryW(saved_.c_str());
    RemoveTree(Wide(folder_));
  }
  FileSystem& Files() override { return fs_; }
  std::string Folder() const override { return folder_; }
  bool SetCurrentDirectory(const std::string& path) override { return SetCurrentDirectoryW(Wide(path).c_str()) != 0; }

 private:
  Win32FileSystem fs_;
  std::string folder_;
  std::wstring saved_;
};

INSTANTIATE_TEST_SUITE_P(, FileSystemContract,
                         ::testing::Values(FileSystemKind{"Win32", [] { return std::make_unique<Win32World>(); }}),
                         FileSystemKindName);

TEST(Win32FileTree, HasNoBlankOrCommaInItsFolder) {
  Win32World world;
  EXPECT_EQ(world.Folder().find_first_of(" ,"), std::string::npos) << world.Folder();
}

}  // namespace
}  // namespace velquin::test
