#include "platform/Win32FileSystem.h"

#include <windows.h>

#include <string>

#include "text/CodePage932.h"

namespace velquin {
namespace {

FILETIME ToFileTime(uint64_t ticks) {
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(ticks);
  ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return ft;
}

uint64_t ToTicks(const FILETIME& ft) {
  return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

}  // namespace

std::optional<DirEntry> Win32FileSystem::FindFirstEntry(std::string_view pattern) {
  // The search stops at a NUL, and a name that is not code page 932 text would be
  // searched changed: the name it would see is another name.
  if (pattern.find('\0') != std::string_view::npos) return std::nullopt;
  const std::optional<std::wstring> name = WideFromCp932Strict(pattern);
  if (!name) return std::nullopt;
  WIN32_FIND_DATAW data;
  // A drive without a medium answers "not found" instead of asking the user: the
  // search runs during a resume, where nobody waits for a question.
  DWORD oldMode = 0;
  const BOOL quiet = SetThreadErrorMode(SEM_FAILCRITICALERRORS, &oldMode);
  const HANDLE search = FindFirstFileW(name->c_str(), &data);
  if (quiet) SetThreadErrorMode(oldMode, nullptr);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  FindClose(search);
  DirEntry entry;
  entry.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  entry.lastWriteTime = ToTicks(data.ftLastWriteTime);
  return entry;
}

std::optional<int> Win32FileSystem::LocalDosYear(uint64_t fileTime) {
  const FILETIME utc = ToFileTime(fileTime);
  FILETIME local;
  if (!FileTimeToLocalFileTime(&utc, &local)) return std::nullopt;
  WORD dosDate = 0;
  WORD dosTime = 0;
  if (!FileTimeToDosDateTime(&local, &dosDate, &dosTime)) return std::nullopt;
  // Some implementations wrap years past 2107 into the DOS range instead of
  // failing; the real local year lets the caller reject those.
  SYSTEMTIME st;
  if (!FileTimeToSystemTime(&local, &st)) return std::nullopt;
  return st.wYear;
}

}  // namespace velquin
