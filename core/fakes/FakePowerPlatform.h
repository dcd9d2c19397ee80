#pragma once
// A power platform of any kind of machine: classic standby, S0 low-power idle
// ("Modern Standby"), one that cannot be asked, or a Modern Standby machine whose
// registration calls are missing or refuse. It records every registration,
// unregistration and line of diagnostics, and can refuse to unregister.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/ports/PowerPlatform.h"

namespace velquin {

enum class PowerMachine {
  Classic,
  ModernStandby,
  QueryFails,
  RegistrationMissing,
  RegistrationFails,
  DisplayRegistrationFails,  // suspend and resume registered, the display state refused
};

class FakePowerPlatform : public PowerPlatform {
 public:
  explicit FakePowerPlatform(PowerMachine machine = PowerMachine::Classic) : machine_(machine) {}

  void SetMachine(PowerMachine machine) { machine_ = machine; }
  void FailUnregister(bool fail) { failUnregister_ = fail; }

  std::optional<bool> ModernStandby() override {
    ++queries_;
    if (machine_ == PowerMachine::QueryFails) return std::nullopt;
    return machine_ != PowerMachine::Classic;
  }

  uintptr_t RegisterSuspendResume(uintptr_t window) override {
    if (machine_ == PowerMachine::RegistrationMissing) return 0;  // nothing to call
    registered_.push_back(window);
    return machine_ == PowerMachine::RegistrationFails ? 0 : Open();
  }
  bool UnregisterSuspendResume(uintptr_t registration) override { return Close(unregistered_, registration); }

  uintptr_t RegisterDisplayState(uintptr_t window) override {
    if (machine_ == PowerMachine::RegistrationMissing) return 0;
    displayRegistered_.push_back(window);
    return machine_ == PowerMachine::DisplayRegistrationFails ? 0 : Open();
  }
  bool UnregisterDisplayState(uintptr_t registration) override { return Close(displayUnregistered_, registration); }

  void Trace(std::string_view line) override { lines_.emplace_back(line); }

  int Queries() const { return queries_; }
  // The windows a registration was asked for, also the refused ones.
  const std::vector<uintptr_t>& Registered() const { return registered_; }
  const std::vector<uintptr_t>& Unregistered() const { return unregistered_; }
  const std::vector<uintptr_t>& DisplayRegistered() const { return displayRegistered_; }
  const std::vector<uintptr_t>& DisplayUnregistered() const { return displayUnregistered_; }
  // Registrations made and not ended, of either kind.
  const std::vector<uintptr_t>& Live() const { return live_; }
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  uintptr_t Open() {
    live_.push_back(nextHandle_);
    return nextHandle_++;
  }
  bool Close(std::vector<uintptr_t>& ended, uintptr_t registration) {
    ended.push_back(registration);
    const auto it = std::find(live_.begin(), live_.end(), registration);
    if (failUnregister_ || it == live_.end()) return false;
    live_.erase(it);
    return true;
  }

  PowerMachine machine_;
  bool failUnregister_ = false;
  int queries_ = 0;
  uintptr_t nextHandle_ = 0x5100;
  std::vector<uintptr_t> registered_;
  std::vector<uintptr_t> unregistered_;
  std::vector<uintptr_t> displayRegistered_;
  std::vector<uintptr_t> displayUnregistered_;
  std::vector<uintptr_t> live_;
  std::vector<std::string> lines_;
};

}  // namespace velquin
