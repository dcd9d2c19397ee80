#pragma once
// Which power notifications start a pass over the task list. On a classic machine
// Windows broadcasts every return from standby, and each PBT_APMRESUMESUSPEND (7)
// runs the list. A machine with S0 low-power idle standby tells only windows that
// registered for it; registered, the window may hear of one return more than once
// (the broadcast and the registration, or repeated deliveries), so there a 7 runs
// the list only when no pass has run since the last PBT_APMSUSPEND (4). Before the
// first 4 every 7 runs it: no resume is lost.
#include <cstdint>

#include "core/ports/PowerPlatform.h"

namespace velquin {

inline constexpr uint32_t kPbtApmSuspend = 4;

class ResumeNotifications {
 public:
  // `platform` may be null: a machine that cannot be asked is treated as classic.
  explicit ResumeNotifications(PowerPlatform* platform) : platform_(platform) {}
  ~ResumeNotifications() { Stop(); }
  ResumeNotifications(const ResumeNotifications&) = delete;
  ResumeNotifications& operator=(const ResumeNotifications&) = delete;

  // Once `window` exists: registers it where the machine stands by in S0 low-power
  // idle. Only the first call acts; every failure leaves a classic machine.
  void Start(uintptr_t window);
  // Ends the registration, if there is one; later calls do nothing.
  void Stop();
  bool Registered() const { return registration_ != 0; }

  // For every WM_POWERBROADCAST event code, in the order received: true when it
  // must start one pass over the task list.
  bool ShouldRunPass(uint32_t eventCode);

 private:
  PowerPlatform* platform_;
  bool started_ = false;
  uintptr_t registration_ = 0;
  bool oncePerSuspend_ = false;  // the window registered during this run
  bool suspendSeen_ = false;
  bool ranSinceSuspend_ = false;
};

}  // namespace velquin
