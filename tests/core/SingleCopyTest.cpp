#include <gtest/gtest.h>

#include "core/fakes/FakeRunningCopy.h"
#include "core/fakes/FakeSessionLock.h"
#include "core/start/SingleCopy.h"

namespace velquin {
namespace {

constexpr int kNever = FakeSessionLock::kNever;
constexpr int kPolls = static_cast<int>(kSingleCopyWaitMs / kSingleCopyPollMs);

TEST(SingleCopy, DecidesFromTheLockAndTheRunningCopysWindow) {
  struct Case {
    const char* what;
    bool unavailable, heldElsewhere;
    int freedAfterWaits, windowAfterAsks;
    StartDecision decision;
    int asks, waits;
  } cases[] = {
      {"first copy", false, false, kNever, 1, StartDecision::Run, 0, 0},
      {"no lock to be had", true, false, kNever, 1, StartDecision::Run, 0, 0},
      {"a copy runs", false, true, kNever, 1, StartDecision::HandedOver, 1, 0},
      {"its window comes late", false, true, kNever, 4, StartDecision::HandedOver, 4, 3},
      {"it ends meanwhile", false, true, 3, kNever, StartDecision::Run, 3, 3},
      {"it never shows a window", false, true, kNever, kNever, StartDecision::GaveUp, kPolls, kPolls},
  };
  for (const Case& c : cases) {
    FakeSessionLock lock;
    lock.unavailable = c.unavailable;
    lock.heldElsewhere = c.heldElsewhere;
    lock.freedAfterWaits = c.freedAfterWaits;
    FakeRunningCopy running;
    running.windowAfterAsks = c.windowAfterAsks;
    EXPECT_EQ(DecideStart(lock, running), c.decision) << c.what;
    EXPECT_EQ(lock.tries, 1) << c.what;
    EXPECT_EQ(running.asks, c.asks) << c.what;
    EXPECT_EQ(lock.waits, c.waits) << c.what;
    EXPECT_LE(lock.waitedMs, kSingleCopyWaitMs) << c.what;  // a start never hangs
  }
}

}  // namespace
}  // namespace velquin
