#pragma once
// The current user's registry, reduced to what the task store needs.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velquin {

// Registry value types (numbers as Windows defines them).
enum RegType : uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegDwordBigEndian = 5,
  kRegMultiSz = 7,
  kRegQword = 11,
};

enum class RegStatus { Ok, NotFound, Failed };

struct RegQuery {
  RegStatus status = RegStatus::NotFound;
  uint32_t type = kRegNone;
  // The value's bytes as stored, whole, whatever their size: what SetValue takes to
  // keep the value as it is.
  std::string data;
  // A REG_SZ or REG_EXPAND_SZ value's text up to its first NUL, in code page 932;
  // nothing for other types, and when a character of it has no code page 932 form.
  std::optional<std::string> text;
  // The data's size in code page 932, by which a number read from it is measured:
  // for the string types (multi-strings too) the size of their whole data in code
  // page 932, for other types the size of `data`.
  size_t cp932Size = 0;
};

// An open key; destroying it closes the key.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  virtual RegQuery Query(std::string_view name) = 0;
  virtual bool SetDword(std::string_view name, int32_t value) = 0;
  // Stores `text` (code page 932) as REG_SZ with its terminating NUL; false when
  // it is not code page 932 text.
  virtual bool SetString(std::string_view name, std::string_view text) = 0;
  // Stores `data` byte for byte with the type `type`: a value kept as it was found.
  virtual bool SetValue(std::string_view name, uint32_t type, std::string_view data) = 0;
  // The result is of no interest to any caller.
  virtual void DeleteValue(std::string_view name) = 0;
  // Names of the values the key holds now; nullopt when the key cannot be listed.
  virtual std::optional<std::vector<std::string>> ValueNames() = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  // Opens HKEY_CURRENT_USER\<path> with full access, creating missing keys;
  // nullptr when that fails.
  virtual std::unique_ptr<RegistryKey> CreateKey(std::string_view path) = 0;
};

}  // namespace velquin
