#include "core/power/ResumeNotifications.h"

#include <optional>
#include <string>
#include <utility>

#include "core/power/DisplayStateRecord.h"
#include "core/tasks/ResumeRunner.h"

namespace velquin {
namespace {

constexpr char kTracePrefix[] = "Velquin power: ";

std::string EventText(uint64_t eventCode, bool settingRead, const std::optional<uint32_t>& display) {
  std::string text = std::to_string(eventCode);
  switch (eventCode) {
    case kPbtApmSuspend:
      return text + " suspend";
    case kPbtApmResumeSuspend:
      return text + " resume suspend";
    case kPbtApmResumeAutomatic:
      return text + " resume automatic";
    case kPbtPowerSettingChange:
      break;
    default:
      return text;
  }
  if (!settingRead) return text + " setting not read";
  if (!display) return text + " display record ignored";
  const uint32_t state = *display;
  switch (state) {
    case static_cast<uint32_t>(DisplayState::Off):
      return text + " display off";
    case static_cast<uint32_t>(DisplayState::On):
      return text + " display on";
    case static_cast<uint32_t>(DisplayState::Dimmed):
      return text + " display dimmed";
  }
  return text + " display " + std::to_string(state);
}

PowerSignal SignalOf(uint64_t eventCode, const std::optional<uint32_t>& display) {
  if (eventCode == kPbtApmSuspend || eventCode == kPbtApmResumeAutomatic) return PowerSignal::SuspendOrWake;
  if (eventCode == kPbtApmResumeSuspend) return PowerSignal::ResumeSuspend;
  if (display == static_cast<uint32_t>(DisplayState::On)) return PowerSignal::DisplayOn;
  return PowerSignal::Other;
}

}  // namespace

void ResumeNotifications::Start(uintptr_t window) {
  if (started_ || !platform_) return;
  started_ = true;
  const std::optional<bool> modern = platform_->ModernStandby();
  if (modern == true) {
    registration_ = platform_->RegisterSuspendResume(window);
    // The display state only where the suspend and resume notifications come too:
    // without them the return could not be told from the screen coming back.
    if (registration_) displayRegistration_ = platform_->RegisterDisplayState(window);
  }
  registeredThisRun_ = registration_ != 0;
  const char* standby = !modern ? "standby unknown" : *modern ? "S0 low-power idle" : "classic standby";
  const char* registered = !registration_ ? "nothing registered"
                           : displayRegistration_ ? "suspend/resume and display state registered"
                                                  : "suspend/resume registered, display state refused";
  Trace(std::string("start, ") + standby + "; " + registered);
}

void ResumeNotifications::Stop() {
  // A refusal leaves nothing to retry: the registrations end with the window anyway.
  if (displayRegistration_) platform_->UnregisterDisplayState(std::exchange(displayRegistration_, 0));
  if (registration_) platform_->UnregisterSuspendResume(std::exchange(registration_, 0));
}

PowerVerdict ResumeNotifications::Receive(uint64_t eventCode, const void* settingRecord) {
  PowerVerdict verdict;
  verdict.result = eventCode == kPbtPowerSettingChange ? 1 : 0;
  const bool settingRead = eventCode == kPbtPowerSettingChange && displayRegistration_ != 0;
  std::optional<uint32_t> display;
  if (settingRead) display = ReadDisplayState(settingRecord);
  std::string outcome;
  if (registeredThisRun_) {
    const ReturnState before = state_;
    const ReturnStep step = NextReturnStep(state_, SignalOf(eventCode, display));
    state_ = step.next;
    verdict.runPass = step.pass;
    outcome = std::string(ReturnStateName(before));
    if (step.next != before) outcome += std::string(" -> ") + ReturnStateName(step.next);
  } else {
    verdict.runPass = eventCode == kPbtApmResumeSuspend;
    outcome = "classic";
  }
  Trace(EventText(eventCode, settingRead, display) + (verdict.runPass ? ": pass (" : ": none (") + outcome + ")");
  return verdict;
}

void ResumeNotifications::Trace(const std::string& line) {
  if (platform_) platform_->Trace(kTracePrefix + line);
}

}  // namespace velquin
