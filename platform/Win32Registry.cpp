#include "platform/Win32Registry.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "text/CodePage932.h"

namespace velquin {
namespace {

// A value that keeps growing while we read it, or a key that keeps changing while
// we list it, is given up after this many tries.
constexpr int kMaxReadAttempts = 16;
constexpr int kMaxListAttempts = 16;
// Bytes of a value's first read: 511 UTF-16 characters and a terminator.
constexpr DWORD kFirstReadBytes = 1024;
// Value names hold at most 16383 characters.
constexpr size_t kMaxNameBuffer = 16384;

// The registry functions take terminated names: a name holding a NUL would be cut
// into another value's name, so it is refused instead, as is one that is not code
// page 932 text.
bool ToWideName(std::string_view text, std::wstring& out) {
  if (text.find('\0') != std::string_view::npos) return false;
  std::optional<std::wstring> wide = WideFromCp932Strict(text);
  if (!wide) return false;
  out = std::move(*wide);
  return true;
}

// A string value's text up to its first NUL, from its UTF-16 data. An odd last
// byte before any NUL is half a character: such a text cannot be read either.
std::optional<std::string> StringText(uint32_t type, const std::string& data) {
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
  std::wstring wide(data.size() / 2, L'\0');
  std::memcpy(wide.data(), data.data(), wide.size() * sizeof(wchar_t));
  const size_t end = wide.find(L'\0');
  if (end == std::wstring::npos && data.size() % 2 != 0) return std::nullopt;
  return Cp932FromWide(std::wstring_view(wide).substr(0, end));
}

// The data's size in code page 932. The string types are measured as a whole, NULs
// and all, each character that has no code page 932 form counting as the one
// default character that would stand for it; other types as they are.
size_t Cp932Size(uint32_t type, const std::string& data) {
  if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return data.size();
  std::wstring wide(data.size() / 2, L'\0');
  std::memcpy(wide.data(), data.data(), wide.size() * sizeof(wchar_t));
  return Cp932FromWideLossy(wide).size();
}

class Win32RegistryKey final : public RegistryKey {
 public:
  explicit Win32RegistryKey(HKEY key) : key_(key) {}
  ~Win32RegistryKey() override { RegCloseKey(key_); }
  Win32RegistryKey(const Win32RegistryKey&) = delete;
  Win32RegistryKey& operator=(const Win32RegistryKey&) = delete;

  RegQuery Query(std::string_view name) override {
    RegQuery result;
    result.status = RegStatus::Failed;
    std::wstring cname;
    if (!ToWideName(name, cname)) return result;
    try {
      // A value that fits the first buffer (a task line does) is read in one call;
      // a larger one reports its size and is read again with room for it.
      DWORD type = REG_NONE;
      DWORD capacity = kFirstReadBytes;
      // One spare byte keeps the buffer pointer valid for empty data.
      std::string data(static_cast<size_t>(capacity) + 1, '\0');
      DWORD got = capacity;
      LONG rc = RegQueryValueExW(key_, cname.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
      for (int attempt = 0; attempt < kMaxReadAttempts; ++attempt) {
        if (rc == ERROR_FILE_NOT_FOUND) {
          result.status = RegStatus::NotFound;
          return result;
        }
        if (rc == ERROR_SUCCESS) {
          data.resize(std::min(got, capacity));
          result.status = RegStatus::Ok;
          result.type = type;
          result.text = StringText(type, data);
          result.cp932Size = Cp932Size(type, data);
          result.data = std::move(data);
          return result;
        }
        if (rc != ERROR_MORE_DATA) return result;
        // Larger than the buffer, or grown since its size was reported: room for the
        // size reported and more; a value that keeps growing fails after
        // kMaxReadAttempts tries.
        const uint64_t grown = std::max<uint64_t>(got, uint64_t{capacity} + capacity / 2 + 16);
        if (grown >= MAXDWORD) return result;  // the spare byte must not wrap
        capacity = static_cast<DWORD>(grown);
        data.assign(static_cast<size_t>(capacity) + 1, '\0');
        got = capacity;
        rc = RegQueryValueExW(key_, cname.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
      }
    } catch (const std::bad_alloc&) {
    }
    return result;
  }

  bool SetDword(std::string_view name, int32_t value) override {
    const DWORD data = static_cast<DWORD>(value);
    return SetValue(name, kRegDword, std::string_view(reinterpret_cast<const char*>(&data), sizeof data));
  }

  bool SetString(std::string_view name, std::string_view text) override {
    if (text.size() >= MAXDWORD / 4) return false;
    const std::optional<std::wstring> wide = WideFromCp932Strict(text);
    if (!wide) return false;
    const std::string_view bytes(reinterpret_cast<const char*>(wide->c_str()), (wide->size() + 1) * sizeof(wchar_t));
    return SetValue(name, kRegSz, bytes);
  }

  bool SetValue(std::string_view name, uint32_t type, std::string_view data) override {
    std::wstring cname;
    if (!ToWideName(name, cname) || static_cast<uint64_t>(data.size()) >= MAXDWORD) return false;
    // The system counts a NUL character right after string data as its terminator:
    // characters that are none keep unterminated data as it is, odd sizes too.
    std::string bytes(data);
    bytes.append("XX");
    return RegSetValueExW(key_, cname.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
  }

  void DeleteValue(std::string_view name) override {
    std::wstring cname;
    if (ToWideName(name, cname)) RegDeleteValueW(key_, cname.c_str());
  }

  std::optional<std::vector<std::string>> ValueNames() override {
    // Values added or removed meanwhile shift the indexes, so a name could be missed
    // or seen twice: a listing counts only when the key did not change during it.
    try {
      for (int attempt = 0; attempt < kMaxListAttempts; ++attempt) {
        KeyInfo before, after;
        if (!QueryInfo(before)) return std::nullopt;
        size_t listed = 0;
        std::optional<std::vector<std::string>> names = ListOnce(before.maxNameLength, listed);
        if (!names || !QueryInfo(after)) return std::nullopt;
        if (CompareFileTime(&before.lastWrite, &after.lastWrite) == 0 &&
            before.valueCount == after.valueCount && after.valueCount == listed) {
          return names;
        }
      }
    } catch (const std::bad_alloc&) {
    }
    return std::nullopt;
  }

 private:
  struct KeyInfo {
    DWORD valueCount = 0;
    DWORD maxNameLength = 0;
    FILETIME lastWrite{};
  };

  bool QueryInfo(KeyInfo& info) {
    return RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            &info.valueCount, &info.maxNameLength, nullptr, nullptr,
                            &info.lastWrite) == ERROR_SUCCESS;
  }

  // One pass over the value indexes; nullopt when the key cannot be read to its end.
  // A name that is not code page 932 text names no value of the program's: it is
  // counted in `listed` but left out.
  std::optional<std::vector<std::string>> ListOnce(DWORD maxNameLength, size_t& listed) {
    // A name that grew meanwhile doubles the buffer.
    std::vector<wchar_t> buffer(std::min<size_t>(std::max<size_t>(maxNameLength + 1, 256), kMaxNameBuffer));
    std::vector<std::string> names;
    for (DWORD index = 0;;) {
      DWORD length = static_cast<DWORD>(buffer.size());
      const LONG rc = RegEnumValueW(key_, index, buffer.data(), &length, nullptr, nullptr,
                                    nullptr, nullptr);
      if (rc == ERROR_NO_MORE_ITEMS) return names;
      if (rc == ERROR_MORE_DATA && buffer.size() < kMaxNameBuffer) {
        buffer.resize(buffer.size() * 2);
        continue;
      }
      if (rc != ERROR_SUCCESS) return std::nullopt;
      std::optional<std::string> name =
          Cp932FromWide(std::wstring_view(buffer.data(), std::min<size_t>(length, buffer.size())));
      if (name) names.push_back(std::move(*name));
      ++listed;
      ++index;
    }
  }

  HKEY key_;
};

}  // namespace

std::unique_ptr<RegistryKey> Win32Registry::CreateKey(std::string_view path) {
  std::wstring cpath;
  if (!ToWideName(path, cpath)) return nullptr;
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, cpath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return nullptr;
  }
  return std::make_unique<Win32RegistryKey>(key);
}

}  // namespace velquin
