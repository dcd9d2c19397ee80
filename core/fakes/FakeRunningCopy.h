#pragma once
// The running copy's main window in memory: there at once, after a number of asks,
// or never.
#include <climits>

#include "core/ports/RunningCopy.h"

namespace velquin {

class FakeRunningCopy : public RunningCopy {
 public:
  static constexpr int kNever = INT_MAX;

  bool AskToShow() override { return ++asks >= windowAfterAsks; }

  int windowAfterAsks = 1;  // kNever: no window ever
  int asks = 0;
};

}  // namespace velquin
