// The power platform against the system. What the capability query answers is
// printed: it says which road the program takes on this machine.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/Win32PowerPlatform.h"

namespace velquin {
namespace {

TEST(Win32PowerTest, TheCapabilityQueryAnswersAndAWindowRegistersWhereTheCallExists) {
  SYSTEM_POWER_CAPABILITIES caps;
  const LONG status = QueryPowerCapabilities(caps);
  std::printf("SystemPowerCapabilities: status 0x%08lx, S1 %d S2 %d S3 %d S4 %d S5 %d hiberfile %d AoAc %d\n",
              static_cast<unsigned long>(status), caps.SystemS1, caps.SystemS2, caps.SystemS3, caps.SystemS4,
              caps.SystemS5, caps.HiberFilePresent, AoAc(caps));
  ASSERT_EQ(status, 0);
  Win32PowerPlatform platform;
  EXPECT_EQ(platform.ModernStandby(), std::optional<bool>(AoAc(caps)));

  HWND window = CreateWindowExA(0, "STATIC", "power", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  const bool present = GetProcAddress(GetModuleHandleA("user32.dll"), "RegisterSuspendResumeNotification");
  const uintptr_t registration = platform.RegisterSuspendResume(reinterpret_cast<uintptr_t>(window));
  std::printf("RegisterSuspendResumeNotification: %s, %p\n", present ? "present" : "missing",
              reinterpret_cast<void*>(registration));
  EXPECT_EQ(registration != 0, present);
  if (registration) {
    EXPECT_TRUE(platform.UnregisterSuspendResume(registration));
  }
  DestroyWindow(window);
}

}  // namespace
}  // namespace velquin
