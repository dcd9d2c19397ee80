#pragma once
// The running copy's main window, found by its window class and caption on this
// desktop, and asked to show itself with a registered message sent to it; it
// answers kRunningCopyShown when it did.
#include <windows.h>

#include <string>

#include "core/ports/RunningCopy.h"

namespace velquin {

inline constexpr LRESULT kRunningCopyShown = 1;

class Win32RunningCopy final : public RunningCopy {
 public:
  Win32RunningCopy(std::string windowClass, std::string caption, UINT message)
      : windowClass_(std::move(windowClass)), caption_(std::move(caption)), message_(message) {}

  bool AskToShow() override;

 private:
  static constexpr UINT kAnswerMs = 2000;

  std::string windowClass_;
  std::string caption_;
  UINT message_;
};

}  // namespace velquin
