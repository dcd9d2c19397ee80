// A power library for a test prefix that answers the capability query as a laptop
// with S0 low-power idle standby does, so that the program takes that road under
// Wine (whose own library answers "classic standby"). Installed as powrprof.dll in
// the prefix's system folder by InstallPowerLibraryStandIn.
#include <windows.h>

namespace {
constexpr LONG kStatusNotImplemented = static_cast<LONG>(0xC0000002);
constexpr LONG kStatusBufferTooSmall = static_cast<LONG>(0xC0000023);
constexpr int kSystemPowerCapabilities = 4;
}  // namespace

extern "C" LONG WINAPI CallNtPowerInformation(int level, PVOID, ULONG, PVOID output, ULONG outputLength) {
  if (level != kSystemPowerCapabilities) return kStatusNotImplemented;
  if (!output || outputLength < sizeof(SYSTEM_POWER_CAPABILITIES)) return kStatusBufferTooSmall;
  SYSTEM_POWER_CAPABILITIES caps{};
  caps.PowerButtonPresent = TRUE;
  caps.LidPresent = TRUE;
  caps.SystemS4 = TRUE;  // no S3: such a machine stands by in S0
  caps.SystemS5 = TRUE;
  caps.HiberFilePresent = TRUE;
  // Windows names these three bytes Hiberboot, WakeAlarmPresent and AoAc. Only AoAc
  // is set, and nothing beside it: a read one byte off answers "classic".
  caps.spare2[2] = TRUE;
  *static_cast<SYSTEM_POWER_CAPABILITIES*>(output) = caps;
  return 0;
}
