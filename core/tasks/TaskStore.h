#pragma once
// The task list and the start-up option between runs: the registry key
// HKEY_CURRENT_USER\SOFTWARE\HALVERN\Velquin with Count, APP0…APPn-1 and
// MinimizeWhenStart.
#include <string_view>

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

class TaskStore {
 public:
  TaskStore(Registry& registry, FileSystem& fileSystem)
      : registry_(registry), fileSystem_(fileSystem) {}

  // Fills the empty `list` from the key and normalises every line. Writes
  // `minimizeWhenStart` once, when the load reaches the option; an exception thrown
  // before that leaves it as it was. Throws ERegistryException.
  void Load(TaskList& list, bool& minimizeWhenStart);

  // Writes the list (without missing-file markers) and the option back.
  // Throws ERegistryException.
  void Save(const TaskList& list, bool minimizeWhenStart);

 private:
  Registry& registry_;
  FileSystem& fileSystem_;
};

}  // namespace velquin
