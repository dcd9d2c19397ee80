#pragma once
// A key of the current user as the tests prepare and read it, through the ANSI
// registry functions and beside the code under test: values of any type and
// size written as given, and read back whole.
#include <windows.h>

#include <optional>
#include <string>

namespace velquin::test {

struct StoredValue {
  DWORD type = REG_NONE;
  std::string data;
};

class TestKey {
 public:
  explicit TestKey(std::string path) : path_(std::move(path)) {}
  const std::string& Path() const { return path_; }

  // Removes the key and everything below it.
  void DeleteTree() const { RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str()); }

  // Writes `data` as a value of `type`, creating the key. The byte after the
  // counted data is not NUL, so that nothing can take a terminator from it.
  bool Put(const char* name, DWORD type, const std::string& data) const {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
      return false;
    const std::string buffer = data + 'X';
    const LONG status = RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(buffer.data()),
                                       static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
  }
  bool PutDword(const char* name, DWORD value) const {
    return Put(name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value));
  }
  // A string with its terminating NUL, as the program writes one.
  bool PutString(const char* name, const std::string& text) const { return Put(name, REG_SZ, text + '\0'); }

  void Delete(const char* name) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
  }

  // The value's type and every byte of its data; nothing when it cannot be read.
  std::optional<StoredValue> Get(const char* name) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
      return std::nullopt;
    StoredValue value;
    LONG status = ERROR_MORE_DATA;
    for (int attempt = 0; attempt < 8 && status == ERROR_MORE_DATA; ++attempt) {
      DWORD size = 0;
      status = RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size);
      if (status != ERROR_SUCCESS) break;
      value.data.assign(size + 1, '\0');  // room for the terminator ANSI strings get
      DWORD got = size;
      status = RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(value.data.data()), &got);
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
  // A REG_SZ up to its first NUL, or nothing.
  std::optional<std::string> GetString(const char* name) const {
    const std::optional<StoredValue> value = Get(name);
    if (!value || value->type != REG_SZ) return std::nullopt;
    return value->data.substr(0, value->data.find('\0'));
  }

 private:
  std::string path_;
};

}  // namespace velquin::test
