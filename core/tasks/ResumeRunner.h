#pragma once
// What the program exists for: after a resume from standby or hibernation, open
// every task of the list through the shell, in order, without waiting.
#include <cstdint>

#include "core/ports/FileSystem.h"
#include "core/ports/Shell.h"
#include "core/ports/TaskList.h"

namespace velquin {

inline constexpr uint32_t kPbtApmResumeSuspend = 7;

// One pass over `list`: every line that parses is opened with "OPEN", its quoted
// file name and its parameters; the others are skipped silently.
void RunResumePass(const TaskList& list, FileSystem& fileSystem, Shell& shell, uintptr_t ownerWindow);

// For event code 7, one pass over `list`; any other event code does nothing.
void RunTasksOnResume(uint32_t eventCode, const TaskList& list, FileSystem& fileSystem,
                      Shell& shell, uintptr_t ownerWindow);

}  // namespace velquin
