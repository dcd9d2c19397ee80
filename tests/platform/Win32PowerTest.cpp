// The power platform against the system: the standby model that the capability
// query reports (Wine's own power library answers classic standby; in the prefix
// with the stand-in library, VELQUIN_EXPECT_STANDBY says S0 low-power idle), the
// registrations where the calls exist. (What the diagnostics write is checked end
// to end, as a debug-output viewer receives it: tests/program/EndToEndTest.cpp.)
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Win32PowerPlatform.h"

namespace velquin {
namespace {

TEST(Win32PowerTest, TheStandbyModelIsTheOneTheMachineReports) {
  SYSTEM_POWER_CAPABILITIES caps;
  const LONG status = QueryPowerCapabilities(caps);
  std::printf("SystemPowerCapabilities: status 0x%08lx, S1 %d S2 %d S3 %d S4 %d S5 %d hiberfile %d\n",
              static_cast<unsigned long>(status), caps.SystemS1, caps.SystemS2, caps.SystemS3, caps.SystemS4,
              caps.SystemS5, caps.HiberFilePresent);
  ASSERT_EQ(status, 0);
  const char* expected = std::getenv("VELQUIN_EXPECT_STANDBY");
  const bool s0 = expected && std::string(expected) == "S0 low-power idle";
  EXPECT_EQ(Win32PowerPlatform().ModernStandby(), std::optional<bool>(s0));
}

TEST(Win32PowerTest, AWindowRegistersWhereTheCallsExist) {
  HWND window = CreateWindowExA(0, "STATIC", "power", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  Win32PowerPlatform platform;
  HMODULE user32 = GetModuleHandleA("user32.dll");
  const struct {
    const char* call;
    uintptr_t (Win32PowerPlatform::*registers)(uintptr_t);
    bool (Win32PowerPlatform::*unregisters)(uintptr_t);
  } kinds[] = {
      {"RegisterSuspendResumeNotification", &Win32PowerPlatform::RegisterSuspendResume,
       &Win32PowerPlatform::UnregisterSuspendResume},
      {"RegisterPowerSettingNotification", &Win32PowerPlatform::RegisterDisplayState,
       &Win32PowerPlatform::UnregisterDisplayState},
  };
  for (const auto& kind : kinds) {
    const bool present = GetProcAddress(user32, kind.call) != nullptr;
    const uintptr_t registration = (platform.*kind.registers)(reinterpret_cast<uintptr_t>(window));
    std::printf("%s: %s, %p\n", kind.call, present ? "present" : "missing", reinterpret_cast<void*>(registration));
    EXPECT_EQ(registration != 0, present) << kind.call;
    if (registration) {
      EXPECT_TRUE((platform.*kind.unregisters)(registration)) << kind.call;
    }
  }
  DestroyWindow(window);
}

}  // namespace
}  // namespace velquin
