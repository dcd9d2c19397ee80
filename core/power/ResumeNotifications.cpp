#include "core/power/ResumeNotifications.h"

#include <utility>

#include "core/tasks/ResumeRunner.h"

namespace velquin {

void ResumeNotifications::Start(uintptr_t window) {
  if (started_ || !platform_) return;
  started_ = true;
  if (platform_->ModernStandby() != true) return;
  registration_ = platform_->RegisterSuspendResume(window);
  oncePerSuspend_ = registration_ != 0;
}

void ResumeNotifications::Stop() {
  if (!registration_) return;
  // A refusal leaves nothing to retry: the registration ends with the window anyway.
  platform_->UnregisterSuspendResume(std::exchange(registration_, 0));
}

bool ResumeNotifications::ShouldRunPass(uint32_t eventCode) {
  if (eventCode == kPbtApmSuspend) {
    suspendSeen_ = true;
    ranSinceSuspend_ = false;
    return false;
  }
  if (eventCode != kPbtApmResumeSuspend) return false;
  if (oncePerSuspend_ && suspendSeen_ && ranSinceSuspend_) return false;
  ranSinceSuspend_ = true;
  return true;
}

}  // namespace velquin
