#include "platform/SystemLibrary.h"

#include <string>

namespace velquin {
namespace {

// Where SetDefaultDllDirectories exists, so do the LOAD_LIBRARY_SEARCH_* flags.
using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);

SetDefaultDllDirectoriesProc SetDefaultDllDirectoriesEntry() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  return kernel ? reinterpret_cast<SetDefaultDllDirectoriesProc>(
                      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                : nullptr;
}

}  // namespace

void RestrictDllSearchToSystem() {
  if (const auto proc = SetDefaultDllDirectoriesEntry()) proc(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const char* name) {
  if (SetDefaultDllDirectoriesEntry()) {
    if (HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
  }
  // Older systems: the full path, so that no search takes place.
  char folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::string path = std::string(folder, length) + "\\" + name;
  return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace velquin
