#pragma once
// Opening files and addresses through ShellExecuteW.
#include "core/ports/Shell.h"

namespace velquin {

class Win32Shell final : public Shell {
 public:
  void Execute(const ShellExecuteRequest& request) override;
};

}  // namespace velquin
