#include "core/start/SingleCopy.h"

namespace velquin {

StartDecision DecideStart(SessionLock& lock, RunningCopy& running) {
  switch (lock.TryTake()) {
    case SessionLock::Claim::Taken:
      return StartDecision::Run;
    case SessionLock::Claim::Unavailable:
      // Without the lock nothing can be told apart; a program that never starts
      // would be worse than a second copy.
      return StartDecision::Run;
    case SessionLock::Claim::HeldElsewhere:
      break;
  }
  // The holder may still be creating its window, or be past it and saving at exit.
  for (uint32_t waited = 0; waited < kSingleCopyWaitMs; waited += kSingleCopyPollMs) {
    if (running.AskToShow()) return StartDecision::HandedOver;
    if (lock.WaitTake(kSingleCopyPollMs)) return StartDecision::Run;
  }
  return StartDecision::GaveUp;
}

}  // namespace velquin
