// The power platform against the system: what the capability query answers (printed,
// since it says which road the program takes on this machine), and the suspend and
// resume registration of a real window.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/Win32PowerPlatform.h"

namespace velquin {
namespace {

TEST(Win32PowerTest, TheCapabilityQueryAnswersAndNamesTheStandbyModel) {
  SYSTEM_POWER_CAPABILITIES caps;
  const LONG status = QueryPowerCapabilities(caps);
  std::printf("CallNtPowerInformation(SystemPowerCapabilities): status 0x%08lx\n",
              static_cast<unsigned long>(status));
  ASSERT_EQ(status, 0);
  std::printf("  S1 %d S2 %d S3 %d S4 %d S5 %d HiberFilePresent %d FullWake %d AoAc %d\n", caps.SystemS1,
              caps.SystemS2, caps.SystemS3, caps.SystemS4, caps.SystemS5, caps.HiberFilePresent, caps.FullWake,
              AoAc(caps));
  Win32PowerPlatform platform;
  EXPECT_EQ(platform.ModernStandby(), std::optional<bool>(AoAc(caps)));
  // The bytes before AoAc are Hiberboot and WakeAlarmPresent, both flags as well.
  const BYTE* bytes = reinterpret_cast<const BYTE*>(&caps);
  for (int offset : {18, 19, 20}) EXPECT_LE(bytes[offset], 1) << offset;
}

TEST(Win32PowerTest, AWindowRegistersAndUnregistersWhereTheCallExists) {
  HWND window = CreateWindowExA(0, "STATIC", "power", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  const bool present =
      GetProcAddress(GetModuleHandleA("user32.dll"), "RegisterSuspendResumeNotification") != nullptr;
  Win32PowerPlatform platform;
  const uintptr_t registration = platform.RegisterSuspendResume(reinterpret_cast<uintptr_t>(window));
  std::printf("RegisterSuspendResumeNotification: %s, returned %p\n", present ? "present" : "missing",
              reinterpret_cast<void*>(registration));
  if (present) {
    EXPECT_NE(registration, 0u);
    EXPECT_TRUE(platform.UnregisterSuspendResume(registration));
  } else {
    EXPECT_EQ(registration, 0u);
  }
  DestroyWindow(window);
}

}  // namespace
}  // namespace velquin
