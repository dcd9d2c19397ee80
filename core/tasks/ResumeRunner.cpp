#include "core/tasks/ResumeRunner.h"

#include <string>

#include "core/tasks/TaskLine.h"

namespace velquin {

void RunResumePass(const TaskList& list, FileSystem& fileSystem, Shell& shell, uintptr_t ownerWindow) {
  const int count = list.Count();
  std::string fileName;
  std::string params;
  for (int i = 0; i < count; ++i) {
    // The shell may run a nested message loop; a list shortened meanwhile ends the pass.
    if (i >= list.Count()) break;
    if (!ParseTaskLine(fileSystem, list.Item(i), fileName, params)) continue;
    ShellExecuteRequest request;
    request.ownerWindow = ownerWindow;
    request.verb = "OPEN";
    request.file = fileName;
    request.parameters = params;
    request.directory = std::nullopt;
    request.showCommand = kSwShowNormal;
    shell.Execute(request);
  }
}

void RunTasksOnResume(uint32_t eventCode, const TaskList& list, FileSystem& fileSystem,
                      Shell& shell, uintptr_t ownerWindow) {
  if (eventCode == kPbtApmResumeSuspend) RunResumePass(list, fileSystem, shell, ownerWindow);
}

}  // namespace velquin
