#pragma once
// The task list and the start-up option between runs: the registry key
// HKEY_CURRENT_USER\SOFTWARE\HALVERN\Velquin with Count, APP0…APPn-1 and
// MinimizeWhenStart.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/Exception.h"
#include "core/ports/FileSystem.h"
#include "core/ports/Registry.h"
#include "core/ports/TaskList.h"

namespace velquin {

inline constexpr std::string_view kTaskStoreKeyPath = "SOFTWARE\\HALVERN\\Velquin";

// A registry read or write that failed; the message names the value.
class ERegistryException : public Exception {
 public:
  using Exception::Exception;
};

// Widens the list's horizontal scroll range to fit line `Index` (7 pixels a byte);
// it never narrows it.
void UpdateScrollWidth(TaskList& list, int Index);

// The index of a line value's name ("APP" and a decimal index without sign or
// leading zeros, the prefix in any case); nothing for any other name.
std::optional<int> TaskLineIndex(std::string_view name);

class TaskStore {
 public:
  TaskStore(Registry& registry, FileSystem& fileSystem)
      : registry_(registry), fileSystem_(fileSystem) {}

  // Fills the empty `list` from the key and normalises every line. Writes
  // `minimizeWhenStart` once, when the load reaches the option; an exception thrown
  // before that leaves it as it was. Remembers how far it got, for the save.
  // Throws ERegistryException.
  void Load(TaskList& list, bool& minimizeWhenStart);

  // Writes the list (without missing-file markers) and the option back. After a
  // load that stopped early, the stored lines it never brought in are kept after
  // the list's lines, and the option is written only when ticked. Runs as often as
  // the list changes; whatever a save wrote or failed to write, the next one keeps
  // those lines, each once. Throws ERegistryException.
  void Save(const TaskList& list, bool minimizeWhenStart);

 private:
  void LoadLines(TaskList& list, bool& minimizeWhenStart);
  void SaveAfterPartialLoad(RegistryKey& key, const TaskList& list, bool minimizeWhenStart);

  Registry& registry_;
  FileSystem& fileSystem_;
  // The stored index from which the last load brought no line into the list;
  // nothing when it finished, or when none ran.
  std::optional<int32_t> unloadedFrom_;
  // Where those lines are stored now, in their order, once a save has found them:
  // a save moves them, and one that fails part-way may leave stale copies behind.
  std::optional<std::vector<int>> unloadedAt_;
};

}  // namespace velquin
