#pragma once
// A lock of the user's logon session that one process at a time holds: the copy of
// the program that runs holds it until it ends.
#include <cstdint>

namespace velquin {

class SessionLock {
 public:
  enum class Claim { Taken, HeldElsewhere, Unavailable };

  virtual ~SessionLock() = default;
  // Takes the lock unless another process holds it; Unavailable when the lock
  // cannot be had at all.
  virtual Claim TryTake() = 0;
  // After HeldElsewhere: waits up to `milliseconds` for the holder to let go or end;
  // true when this process holds the lock now.
  virtual bool WaitTake(uint32_t milliseconds) = 0;
};

}  // namespace velquin
