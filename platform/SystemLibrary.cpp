#include "platform/SystemLibrary.h"

#include <string>

#include "text/CodePage932.h"

namespace velquin {
namespace {

// Where SetDefaultDllDirectories exists, so do the LOAD_LIBRARY_SEARCH_* flags.
using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);

SetDefaultDllDirectoriesProc SetDefaultDllDirectoriesEntry() {
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  return kernel ? reinterpret_cast<SetDefaultDllDirectoriesProc>(
                      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                : nullptr;
}

}  // namespace

void RestrictDllSearchToSystem() {
  if (const auto proc = SetDefaultDllDirectoriesEntry()) proc(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const char* name) {
  const std::optional<std::wstring> wideName = WideFromCp932Strict(name);
  if (!wideName) return nullptr;
  if (SetDefaultDllDirectoriesEntry()) {
    if (HMODULE module = LoadLibraryExW(wideName->c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
  }
  // Older systems: the full path, so that no search takes place.
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, length) + L"\\" + *wideName;
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace velquin
