#pragma once
// The floor of a start-up load: what any correct program must do for each stored
// line, in raw Win32 and nothing more. Wide calls throughout, as a program that keeps
// its texts in UTF-16 makes them (no conversion at all): one RegQueryValueExW into a
// buffer large enough for any line of the benchmark, one FindFirstFileW/FindClose on
// the quoted file name (the existence test is a directory search) and one
// LB_ADDSTRING on a plain list box. Shared by the floor program and the in-process
// load benchmark.
#include <windows.h>

#include <string>

inline void RawLoadLines(HWND list) {
  HKEY key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\HALVERN\\Velquin", 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  DWORD count = 0, size = sizeof count;
  RegQueryValueExW(key, L"Count", nullptr, nullptr, reinterpret_cast<BYTE*>(&count), &size);
  wchar_t line[2048];
  for (DWORD i = 0; i < count; ++i) {
    const std::wstring name = L"APP" + std::to_wstring(i);
    size = sizeof line - sizeof(wchar_t);
    if (RegQueryValueExW(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(line), &size) != ERROR_SUCCESS)
      continue;
    line[size / sizeof(wchar_t)] = L'\0';
    // The quoted file name, searched once.
    std::wstring file(line);
    if (file.size() > 1 && file[0] == L'"') file = file.substr(1, file.find(L'"', 1) - 1);
    WIN32_FIND_DATAW data;
    const HANDLE search = FindFirstFileW(file.c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
  }
  RegCloseKey(key);
}
