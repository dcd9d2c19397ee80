#pragma once
// Which power notifications start a pass over the task list. On a classic machine
// Windows broadcasts every return from standby, and each PBT_APMRESUMESUSPEND (7)
// runs the list. A machine with S0 low-power idle standby tells only windows that
// registered for it, and may tell of a return with 7, or only with the display
// turning on: there the window registers for both, and the first of the two after
// the machine went to sleep runs the list once (ReturnRule). Every notification
// and what it decided goes to the platform's debug output as one line.
#include <cstdint>
#include <string>

#include "core/power/ReturnRule.h"
#include "core/ports/PowerPlatform.h"

namespace velquin {

inline constexpr uint32_t kPbtApmSuspend = 4;
inline constexpr uint32_t kPbtApmResumeAutomatic = 18;

// What one WM_POWERBROADCAST brings about.
struct PowerVerdict {
  bool runPass = false;
  intptr_t result = 0;  // the message's result: TRUE for a setting change, 0 for the event codes
};

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
  // Ends the registrations, if there are any; later calls do nothing.
  void Stop();
  bool Registered() const { return registration_ != 0 || displayRegistration_ != 0; }

  // For every WM_POWERBROADCAST, in the order received: its event code (wParam)
  // and, with PBT_POWERSETTINGCHANGE, the record lParam points to (read only for
  // the display state registered, and only within its stated length).
  PowerVerdict Receive(uint64_t eventCode, const void* settingRecord);

 private:
  void Trace(const std::string& line);

  PowerPlatform* platform_;
  bool started_ = false;
  uintptr_t registration_ = 0;
  uintptr_t displayRegistration_ = 0;
  bool registeredThisRun_ = false;  // the window registered for suspend and resume
  ReturnState state_ = ReturnState::NotArmed;
};

}  // namespace velquin
