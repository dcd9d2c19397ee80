#pragma once
// A key of the current user as the tests prepare and read it, beside the code
// under test: values of any type and size written through the wide functions byte
// for byte as given (no conversion touches them), and read back whole. Texts are
// code page 932 and cross as UTF-16, as the program's own do.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "text/CodePage932.h"

namespace velquin::test {

struct StoredValue {
  DWORD type = REG_NONE;
  std::string data;
  bool operator==(const StoredValue&) const = default;
};

class TestKey {
 public:
  explicit TestKey(std::string path) : path_(std::move(path)) {}
  const std::string& Path() const { return path_; }

  bool Exists() const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(path_).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }
  // Removes the key and everything below it.
  void DeleteTree() const { RegDeleteTreeW(HKEY_CURRENT_USER, Wide(path_).c_str()); }

  // Writes `data` as a value of `type`, creating the key. The byte after the
  // counted data is not NUL, so that nothing can take a terminator from it.
  bool Put(const char* name, DWORD type, const std::string& data) const {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, Wide(path_).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
      return false;
    const std::string buffer = data + "XX";
    const LONG status = RegSetValueExW(key, Wide(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(buffer.data()),
                                       static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
  }
  bool PutDword(const char* name, DWORD value) const {
    return Put(name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value));
  }
  // A code page 932 string as UTF-16 with its terminating NUL, as the program
  // writes one.
  bool PutString(const char* name, const std::string& text) const {
    const std::optional<std::wstring> wide = WideFromCp932Strict(text);
    if (!wide) return false;
    return Put(name, REG_SZ, std::string(reinterpret_cast<const char*>(wide->c_str()), (wide->size() + 1) * 2));
  }

  void Delete(const char* name) const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(path_).c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueW(key, Wide(name).c_str());
    RegCloseKey(key);
  }

  // The value's type and every byte of its data; nothing when it cannot be read.
  std::optional<StoredValue> Get(const char* name) const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(path_).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
      return std::nullopt;
    const std::wstring wideName = Wide(name);
    StoredValue value;
    LONG status = ERROR_MORE_DATA;
    for (int attempt = 0; attempt < 8 && status == ERROR_MORE_DATA; ++attempt) {
      DWORD size = 0;
      status = RegQueryValueExW(key, wideName.c_str(), nullptr, &value.type, nullptr, &size);
      if (status != ERROR_SUCCESS) break;
      value.data.assign(size, '\0');
      DWORD got = size;
      status = RegQueryValueExW(key, wideName.c_str(), nullptr, &value.type, reinterpret_cast<BYTE*>(value.data.data()),
                                &got);
      value.data.resize(got);
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return std::nullopt;
    return value;
  }
  // A REG_DWORD of four bytes, or nothing.
  std::optional<DWORD> GetDword(const char* name) const {
    const std::optional<StoredValue> value = Get(name);
    if (!value || value->type != REG_DWORD || value->data.size() != sizeof(DWORD)) return std::nullopt;
    return *reinterpret_cast<const DWORD*>(value->data.data());
  }
  // A REG_SZ up to its first NUL in code page 932, or nothing (also when code page
  // 932 cannot hold it).
  std::optional<std::string> GetString(const char* name) const {
    const std::optional<StoredValue> value = Get(name);
    if (!value || value->type != REG_SZ) return std::nullopt;
    std::wstring wide(value->data.size() / 2, L'\0');
    std::copy_n(value->data.data(), wide.size() * 2, reinterpret_cast<char*>(wide.data()));
    return Cp932FromWide(std::wstring_view(wide).substr(0, wide.find(L'\0')));
  }

 private:
  // Key paths and value names are code page 932 (the tests' are ASCII).
  static std::wstring Wide(std::string_view text) { return WideFromCp932(text); }

  std::string path_;
};

}  // namespace velquin::test
