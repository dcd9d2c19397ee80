#pragma once
// The floor of a start-up load: for each stored line one RegQueryValueExA, one
// FindFirstFileA/FindClose on its quoted file name and one LB_ADDSTRING on a plain
// list box. Shared by the floor program and the in-process load benchmark.
#include <windows.h>

#include <string>

inline void RawLoadLines(HWND list) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\HALVERN\\Velquin", 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  DWORD count = 0, size = sizeof count;
  RegQueryValueExA(key, "Count", nullptr, nullptr, reinterpret_cast<BYTE*>(&count), &size);
  char line[2048];
  for (DWORD i = 0; i < count; ++i) {
    const std::string name = "APP" + std::to_string(i);
    size = sizeof line - 1;
    if (RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(line), &size) != ERROR_SUCCESS)
      continue;
    line[size] = '\0';
    // The quoted file name, searched once.
    std::string file(line);
    if (file.size() > 1 && file[0] == '"') file = file.substr(1, file.find('"', 1) - 1);
    WIN32_FIND_DATAA data;
    const HANDLE search = FindFirstFileA(file.c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
  }
  RegCloseKey(key);
}
