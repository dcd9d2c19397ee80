#pragma once
// The stored list the start-up benchmarks load: quoted lines with parameters naming
// one program, copied into a small folder of its own, as a user's tasks are.
#include <windows.h>

#include <string>

namespace velquin::bench {

inline const char kStoreKey[] = "SOFTWARE\\HALVERN\\Velquin";
inline const char kTaskFolder[] = "C:\\VelquinBench\\Tasks";

// Copies `exe` into the task folder (which holds nothing else); returns the copy's
// name, or "" when it cannot be placed there.
inline std::string PlaceTask(const std::string& exe) {
  const std::string root(kTaskFolder, sizeof kTaskFolder - sizeof "\\Tasks");
  CreateDirectoryA(root.c_str(), nullptr);
  CreateDirectoryA(kTaskFolder, nullptr);
  const std::string copy = std::string(kTaskFolder) + "\\task.exe";
  return CopyFileA(exe.c_str(), copy.c_str(), FALSE) ? copy : std::string();
}

inline std::string StoredLine(const std::string& target, DWORD i) {
  return "\"" + target + "\" -n " + std::to_string(i);
}

// Replaces the key with `count` lines naming `target` and the start-up option.
inline bool WriteStoredList(const std::string& target, DWORD count, DWORD minimizeWhenStart = 0) {
  HKEY key;
  RegDeleteTreeA(HKEY_CURRENT_USER, kStoreKey);
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kStoreKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  bool ok = RegSetValueExA(key, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count) ==
            ERROR_SUCCESS;
  for (DWORD i = 0; i < count && ok; ++i) {
    const std::string name = "APP" + std::to_string(i), line = StoredLine(target, i);
    ok = RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(line.c_str()),
                        static_cast<DWORD>(line.size() + 1)) == ERROR_SUCCESS;
  }
  ok = ok && RegSetValueExA(key, "MinimizeWhenStart", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&minimizeWhenStart),
                            sizeof minimizeWhenStart) == ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

}  // namespace velquin::bench
