#pragma once
// One copy of the program per logon session: a start decides, before it loads
// anything, whether it runs or hands over to the copy that runs already.
#include <cstdint>

#include "core/ports/RunningCopy.h"
#include "core/ports/SessionLock.h"

namespace velquin {

enum class StartDecision {
  Run,         // this start holds the session lock (or none can be had): it runs
  HandedOver,  // the running copy was asked to show itself: this start ends
  GaveUp,      // another copy holds the lock but shows no window: this start ends
};

// How long a start waits at most for the holder's main window to appear (it may be
// starting) or for the holder to end (it may be saving), and how often it looks.
inline constexpr uint32_t kSingleCopyWaitMs = 10000;
inline constexpr uint32_t kSingleCopyPollMs = 100;

// Takes the session lock, or asks the running copy to show itself. Only a Run
// keeps the lock, for the rest of the process.
StartDecision DecideStart(SessionLock& lock, RunningCopy& running);

}  // namespace velquin
