#include "core/tasks/TaskStore.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/tasks/TaskLine.h"
#include "library/HLVTextRoutines.h"

namespace velquin {
namespace {

constexpr std::string_view kCountName = "Count";
constexpr std::string_view kMinimizeName = "MinimizeWhenStart";
constexpr std::string_view kLinePrefix = "APP";
constexpr int kPixelsPerByte = 7;

ERegistryException RegistryError(std::string_view format, std::string_view name) {
  std::string message(format);
  const size_t at = message.find("%s");
  if (at != std::string::npos) message.replace(at, 2, name);
  return ERegistryException(message);
}

ERegistryException ReadFailed(std::string_view name) {
  return RegistryError("'%s' の取得に失敗しました", name);
}
ERegistryException WrongType(std::string_view name) {
  return RegistryError("'%s' のデータ型が不正です", name);
}
ERegistryException WriteFailed(std::string_view name) {
  return RegistryError("'%s' の設定に失敗しました", name);
}

std::string LineName(int index) { return std::string(kLinePrefix) + std::to_string(index); }

// A number value: missing or failing, or more than 4 bytes, cannot be read; anything
// but REG_DWORD is the wrong type. Fewer than 4 bytes are zero-filled.
int32_t ReadNumber(const RegQuery& query, std::string_view name) {
  if (query.status != RegStatus::Ok || query.cp932Size > 4) throw ReadFailed(name);
  if (query.type != kRegDword) throw WrongType(name);
  uint32_t value = 0;
  for (size_t i = 0; i < query.data.size(); ++i) {
    value |= static_cast<uint32_t>(static_cast<unsigned char>(query.data[i])) << (8 * i);
  }
  return static_cast<int32_t>(value);
}

// A string value, cut at its first NUL; empty data reads as "" whatever the type. A
// text that code page 932 cannot hold cannot be read: it would come back changed.
std::string ReadString(RegistryKey& key, std::string_view name) {
  const RegQuery query = key.Query(name);
  if (query.status != RegStatus::Ok) throw ReadFailed(name);
  if (query.data.empty()) return std::string();
  if (query.type != kRegSz && query.type != kRegExpandSz) throw WrongType(name);
  if (!query.text) throw ReadFailed(name);
  return *query.text;
}

void WriteNumber(RegistryKey& key, std::string_view name, int32_t value) {
  if (!key.SetDword(name, value)) throw WriteFailed(name);
}

// The indexes from `low` up to, not including, `high` whose line values exist now,
// in ascending order; nothing when the key cannot be enumerated.
std::optional<std::vector<int>> ExistingLineIndexes(RegistryKey& key, int64_t low, int64_t high) {
  const std::optional<std::vector<std::string>> names = key.ValueNames();
  if (!names) return std::nullopt;
  std::vector<int> indexes;
  for (const std::string& name : *names) {
    const std::optional<int> index = TaskLineIndex(name);
    if (index && *index >= low && *index < high) indexes.push_back(*index);
  }
  std::sort(indexes.begin(), indexes.end());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  return indexes;
}

// Replaces every line by its normal form, or marks it as missing; drops empty lines.
void NormaliseTaskList(TaskList& list, FileSystem& fileSystem) {
  std::string fileName;
  std::string params;
  for (int i = list.Count() - 1; i >= 0; --i) {
    const std::string line = list.Item(i);
    if (line.empty()) {
      list.Delete(i);
    } else if (ParseTaskLine(fileSystem, line, fileName, params)) {
      list.Replace(i, Trim(fileName + ' ' + params));
    } else {
      list.Replace(i, std::string(kMissingFileMarker) + line);
    }
  }
}

void WriteLine(RegistryKey& key, int index, std::string_view line) {
  const std::string name = LineName(index);
  if (!key.SetString(name, line)) throw WriteFailed(name);
}

}  // namespace

// The index of a line value's name ("APP" and a decimal index without sign or
// leading zeros, the prefix in any case), or nothing for any other name.
std::optional<int> TaskLineIndex(std::string_view name) {
  if (name.size() <= kLinePrefix.size()) return std::nullopt;
  for (size_t i = 0; i < kLinePrefix.size(); ++i) {
    const char c = name[i];
    if (c != kLinePrefix[i] && c != kLinePrefix[i] - 'A' + 'a') return std::nullopt;
  }
  const std::string_view digits = name.substr(kLinePrefix.size());
  if (digits.size() > 10 || (digits.size() > 1 && digits[0] == '0')) return std::nullopt;
  int64_t index = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    index = index * 10 + (c - '0');
  }
  if (index > INT32_MAX) return std::nullopt;
  return static_cast<int>(index);
}

void UpdateScrollWidth(TaskList& list, int Index) {
  if (Index < 0 || Index >= list.Count()) return;
  const int64_t width = static_cast<int64_t>(list.Item(Index).size()) * kPixelsPerByte;
  const int clamped = static_cast<int>(std::min<int64_t>(width, INT_MAX));
  if (clamped > list.ScrollWidth()) list.SetScrollWidth(clamped);
}

void TaskStore::Load(TaskList& list, bool& minimizeWhenStart) {
  // The scroll range fits the lines as they are shown: normalised and marked, or as
  // read when the load stopped.
  const auto fitScrollWidth = [&list] {
    for (int i = 0; i < list.Count(); ++i) UpdateScrollWidth(list, i);
  };
  try {
    LoadLines(list, minimizeWhenStart);
  } catch (...) {
    fitScrollWidth();
    throw;
  }
  fitScrollWidth();
}

void TaskStore::LoadLines(TaskList& list, bool& minimizeWhenStart) {
  unloadedFrom_ = 0;
  unloadedAt_.reset();
  const std::unique_ptr<RegistryKey> key = registry_.CreateKey(kTaskStoreKeyPath);
  if (!key) {
    minimizeWhenStart = false;
    return;
  }

  // Only a missing Count is created: a read that fails must not overwrite a stored one.
  if (key->Query(kCountName).status == RegStatus::NotFound) WriteNumber(*key, kCountName, 0);
  const int32_t count = ReadNumber(key->Query(kCountName), kCountName);

  // Only the line values that exist are read: a missing one would become an empty
  // line that normalisation drops, and a corrupt Count costs nothing this way.
  if (count > 0) {
    const std::optional<std::vector<int>> indexes = ExistingLineIndexes(*key, 0, count);
    if (!indexes) throw ReadFailed(LineName(0));
    for (int index : *indexes) {
      list.Append(ReadString(*key, LineName(index)));
      unloadedFrom_ = index + 1;
    }
  }

  const RegQuery minimize = key->Query(kMinimizeName);
  minimizeWhenStart = minimize.status == RegStatus::Ok && ReadNumber(minimize, kMinimizeName) != 0;

  NormaliseTaskList(list, fileSystem_);
  unloadedFrom_.reset();
}

void TaskStore::Save(const TaskList& list, bool minimizeWhenStart) {
  const std::unique_ptr<RegistryKey> key = registry_.CreateKey(kTaskStoreKeyPath);
  if (!key) return;
  if (unloadedFrom_) {
    SaveAfterPartialLoad(*key, list, minimizeWhenStart);
    return;
  }

  const int count = list.Count();
  // A Count that is gone (the key was emptied while the program ran) must not cost
  // the list: it is written all the same and the missing value reported afterwards.
  // A Count that is there but cannot be read stops the save before any write, since
  // lines it counts may never have been loaded and a new Count would cut them off.
  const RegQuery oldCountQuery = key->Query(kCountName);
  const bool countMissing = oldCountQuery.status == RegStatus::NotFound;
  if (!countMissing) {
    const int32_t oldCount = ReadNumber(oldCountQuery, kCountName);
    // Likewise a counted line that cannot be read as text stopped the load before the
    // lines after it: writing now would delete or overwrite lines never loaded.
    if (oldCount > 0) {
      if (const std::optional<std::vector<int>> stored = ExistingLineIndexes(*key, 0, oldCount)) {
        for (int index : *stored) ReadString(*key, LineName(index));
      }
    }
    if (oldCount > count) {
      // Surplus values that cannot be listed stay: values from Count on are never read.
      const std::optional<std::vector<int>> surplus = ExistingLineIndexes(*key, count, oldCount);
      if (surplus) {
        for (auto it = surplus->rbegin(); it != surplus->rend(); ++it) key->DeleteValue(LineName(*it));
      }
    }
  }

  WriteNumber(*key, kCountName, count);
  for (int i = 0; i < count; ++i) {
    const std::string item = list.Item(i);
    std::string_view line = item;
    if (line.substr(0, kMissingFileMarker.size()) == kMissingFileMarker) {
      line.remove_prefix(kMissingFileMarker.size());
    }
    WriteLine(*key, i, line);
  }
  WriteNumber(*key, kMinimizeName, minimizeWhenStart ? 1 : 0);

  if (countMissing) throw ReadFailed(kCountName);
}

// The list holds the stored lines below the load's stop (not normalised, so nothing
// in it is a marker) and the user's edits. The stored lines from there on were never
// in it: they are kept, in their order and unchanged in type and data, right after
// the list's lines, with Count covering both, so that the next start reports the
// same value again. A write that fails part-way loses nothing either: every value is
// copied before its old place is written over, and Count covers it wherever it is at
// the time; the store follows each copy, so the next save keeps each line once.
void TaskStore::SaveAfterPartialLoad(RegistryKey& key, const TaskList& list, bool minimizeWhenStart) {
  // A Count that cannot be read counts every line value there is; a missing one none.
  const RegQuery countQuery = key.Query(kCountName);
  std::optional<int32_t> oldCount;
  if (countQuery.status == RegStatus::NotFound) {
    oldCount = 0;
  } else {
    try {
      oldCount = ReadNumber(countQuery, kCountName);
    } catch (const ERegistryException&) {
    }
  }

  const int64_t high = oldCount ? *oldCount : INT64_MAX;

  const std::optional<std::vector<int>> existing = ExistingLineIndexes(key, 0, INT64_MAX);
  if (!unloadedAt_) {
    if (!existing) throw ReadFailed(LineName(*unloadedFrom_));
    std::vector<int> kept;
    for (int index : *existing) {
      if (index >= *unloadedFrom_ && index < high) kept.push_back(index);
    }
    unloadedAt_ = std::move(kept);
  }
  std::vector<int>& at = *unloadedAt_;

  const int count = list.Count();
  if (static_cast<int64_t>(count) + static_cast<int64_t>(at.size()) > INT32_MAX) {
    throw WriteFailed(kCountName);
  }
  const auto total = static_cast<int32_t>(count + at.size());
  const auto target = [count](size_t i) { return count + static_cast<int>(i); };

  // Every value that moves is read before anything is written.
  std::vector<RegQuery> values(at.size());
  for (size_t i = 0; i < at.size(); ++i) {
    if (target(i) == at[i]) continue;
    const std::string name = LineName(at[i]);
    values[i] = key.Query(name);
    if (values[i].status != RegStatus::Ok) throw ReadFailed(name);
  }

  const auto copy = [&](size_t i) {
    const std::string name = LineName(target(i));
    if (!key.SetValue(name, values[i].type, values[i].data)) throw WriteFailed(name);
    at[i] = target(i);
  };
  // Those that move down go first, lowest first, and stay within the old Count; then
  // Count, which now covers every value that has not moved yet; then those that move
  // up, highest first. None writes over a value not yet copied.
  for (size_t i = 0; i < at.size(); ++i) {
    if (target(i) < at[i]) copy(i);
  }
  WriteNumber(key, kCountName, total);
  for (size_t i = at.size(); i-- > 0;) {
    if (target(i) > at[i]) copy(i);
  }
  for (int i = 0; i < count; ++i) WriteLine(key, i, list.Item(i));

  // What is left from `total` on within the old Count is surplus, or a stale copy.
  if (existing) {
    for (auto it = existing->rbegin(); it != existing->rend(); ++it) {
      if (*it >= total && *it < high) key.DeleteValue(LineName(*it));
    }
  }
  // The option was never read: an unticked box is what the load left, not a choice.
  if (minimizeWhenStart) WriteNumber(key, kMinimizeName, 1);
}

}  // namespace velquin
