// The power platform against the system: the standby model that the capability
// query reports (Wine's own power library answers classic standby; in the prefix
// with the stand-in library, VELQUIN_EXPECT_STANDBY says S0 low-power idle), the
// registrations where the calls exist, and the diagnostics in the debug output.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Win32PowerPlatform.h"

namespace velquin {
namespace {

constexpr DWORD kDbgPrintException = 0x40010006;      // DBG_PRINTEXCEPTION_C
constexpr DWORD kDbgPrintExceptionWide = 0x4001000A;  // DBG_PRINTEXCEPTION_WIDE_C

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

// What a debugger or a debug-output viewer receives: the exception that
// OutputDebugString raises carries the text.
std::string gDebugOutput;

LONG CALLBACK RecordDebugOutput(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD& r = *info->ExceptionRecord;
  if (r.ExceptionCode == kDbgPrintExceptionWide && r.NumberParameters >= 2) {
    const auto* text = reinterpret_cast<const wchar_t*>(r.ExceptionInformation[1]);
    for (ULONG_PTR i = 0; i + 1 < r.ExceptionInformation[0]; ++i) gDebugOutput += static_cast<char>(text[i]);
  } else if (r.ExceptionCode == kDbgPrintException && r.NumberParameters >= 2) {
    gDebugOutput.append(reinterpret_cast<const char*>(r.ExceptionInformation[1]), r.ExceptionInformation[0] - 1);
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

TEST(Win32PowerTest, ATraceLineReachesTheDebugOutputWhole) {
  gDebugOutput.clear();
  void* handler = AddVectoredExceptionHandler(1, RecordDebugOutput);
  ASSERT_NE(handler, nullptr);
  Win32PowerPlatform().Trace("Velquin power: 32787 display on: pass (armed -> ran)");
  RemoveVectoredExceptionHandler(handler);
  EXPECT_EQ(gDebugOutput, "Velquin power: 32787 display on: pass (armed -> ran)\n");
}

}  // namespace
}  // namespace velquin
