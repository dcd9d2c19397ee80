#pragma once
// An in-memory registry: keys by path, values of any type and size, names compared
// without case. Chosen operations can be made to fail, and every operation on an
// opened key is written to a journal, so tests can check what was done in which order.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/ports/Registry.h"

namespace velquin {

// String data is held in code page 932.
struct FakeRegValue {
  uint32_t type = kRegNone;
  std::string data;
};

class FakeRegistry : public Registry {
 public:
  // Like the system, refuses a path that begins with a backslash: nullptr.
  std::unique_ptr<RegistryKey> CreateKey(std::string_view path) override;

  // Set-up and inspection; these bypass the failures and the journal.
  void Put(std::string_view path, std::string_view name, uint32_t type, std::string data);
  void PutDword(std::string_view path, std::string_view name, int32_t value);
  void PutString(std::string_view path, std::string_view name, std::string_view text);
  void Erase(std::string_view path, std::string_view name);
  void EraseKey(std::string_view path);
  bool HasKey(std::string_view path) const;
  std::optional<FakeRegValue> Get(std::string_view path, std::string_view name) const;
  // A REG_DWORD of 4 bytes, or nothing.
  std::optional<int32_t> GetDword(std::string_view path, std::string_view name) const;
  // A REG_SZ up to its first NUL, or nothing.
  std::optional<std::string> GetString(std::string_view path, std::string_view name) const;
  std::vector<std::string> Names(std::string_view path) const;

  // Failures.
  void FailCreateKey(bool fail) { failCreateKey_ = fail; }
  void FailQuery(std::string_view name);
  void FailWrite(std::string_view name);       // SetDword, SetString and SetValue of that name
  void FailWriteNumber(long number) { failWriteNumber_ = number; }  // from 1; 0 for none
  void FailValueNames(bool fail) { failValueNames_ = fail; }
  void ClearFailures();

  // "Query N", "SetDword N=V", "SetString N=text", "SetValue N type T, S bytes",
  // "DeleteValue N", "ValueNames",
  // "Close", in the order done; failed operations are journaled too.
  const std::vector<std::string>& Journal() const { return journal_; }
  void ClearJournal() { journal_.clear(); }
  int OpenKeys() const { return openKeys_; }
  long Writes() const { return writes_; }  // SetDword, SetString and SetValue calls so far

 private:
  class Key;
  struct NamedValue {
    std::string name;
    FakeRegValue value;
  };
  using Values = std::map<std::string, NamedValue>;  // by folded name

  Values* FindKey(std::string_view path);
  const Values* FindKey(std::string_view path) const;
  bool Write(std::string_view path, std::string_view name, FakeRegValue value);

  std::map<std::string, Values> keys_;  // by folded path
  bool failCreateKey_ = false;
  std::set<std::string> failQuery_;
  std::set<std::string> failWrite_;
  long failWriteNumber_ = 0;
  bool failValueNames_ = false;
  std::vector<std::string> journal_;
  int openKeys_ = 0;
  long writes_ = 0;
};

}  // namespace velquin
