#pragma once
// The session lock in memory: free, held by another copy that lets go after a
// number of waits (or never), or not to be had at all.
#include <climits>
#include <cstdint>

#include "core/ports/SessionLock.h"

namespace velquin {

class FakeSessionLock : public SessionLock {
 public:
  static constexpr int kNever = INT_MAX;

  Claim TryTake() override {
    ++tries;
    if (unavailable) return Claim::Unavailable;
    if (heldElsewhere) return Claim::HeldElsewhere;
    return Claim::Taken;
  }
  bool WaitTake(uint32_t milliseconds) override {
    waitedMs += milliseconds;
    return ++waits >= freedAfterWaits;
  }

  bool unavailable = false;
  bool heldElsewhere = false;
  int freedAfterWaits = kNever;  // the holder ends during this wait
  int tries = 0;
  int waits = 0;
  uint64_t waitedMs = 0;
};

}  // namespace velquin
