#include "platform/Win32PowerPlatform.h"

#include <cstddef>
#include <cstring>
#include <string>

#include "core/power/DisplayStateRecord.h"

#include "platform/SystemLibrary.h"

namespace velquin {
namespace {

constexpr LONG kStatusDllNotFound = static_cast<LONG>(0xC0000135);
constexpr LONG kStatusEntryPointNotFound = static_cast<LONG>(0xC0000139);
constexpr int kSystemPowerCapabilities = 4;  // POWER_INFORMATION_LEVEL

// Windows lays out Hiberboot, WakeAlarmPresent, AoAc right before DiskSpinDown.
constexpr size_t kAoAcOffset = offsetof(SYSTEM_POWER_CAPABILITIES, DiskSpinDown) - 1;
static_assert(kAoAcOffset == 20);

template <class Proc>
Proc ProcOf(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

HMODULE User32() {
  static const HMODULE module = GetModuleHandleA("user32.dll");
  return module;
}

}  // namespace

LONG QueryPowerCapabilities(SYSTEM_POWER_CAPABILITIES& capabilities) {
  // From the system folder only: a power library beside the program is never loaded.
  HMODULE library = LoadSystemLibrary("powrprof.dll");
  if (!library) return kStatusDllNotFound;
  using Proc = LONG(WINAPI*)(int, PVOID, ULONG, PVOID, ULONG);
  const Proc call = ProcOf<Proc>(library, "CallNtPowerInformation");
  capabilities = SYSTEM_POWER_CAPABILITIES{};
  const LONG status = call ? call(kSystemPowerCapabilities, nullptr, 0, &capabilities, sizeof capabilities)
                           : kStatusEntryPointNotFound;
  FreeLibrary(library);
  return status;
}

bool AoAc(const SYSTEM_POWER_CAPABILITIES& capabilities) {
  return reinterpret_cast<const BYTE*>(&capabilities)[kAoAcOffset] != 0;
}

std::optional<bool> Win32PowerPlatform::ModernStandby() {
  SYSTEM_POWER_CAPABILITIES capabilities;
  if (QueryPowerCapabilities(capabilities) != 0) return std::nullopt;
  return AoAc(capabilities);
}

uintptr_t Win32PowerPlatform::RegisterSuspendResume(uintptr_t window) {
  using Proc = HANDLE(WINAPI*)(HANDLE, DWORD);
  static const Proc proc = ProcOf<Proc>(User32(), "RegisterSuspendResumeNotification");
  return proc ? reinterpret_cast<uintptr_t>(proc(reinterpret_cast<HANDLE>(window), DEVICE_NOTIFY_WINDOW_HANDLE)) : 0;
}

bool Win32PowerPlatform::UnregisterSuspendResume(uintptr_t registration) {
  using Proc = BOOL(WINAPI*)(HANDLE);
  static const Proc proc = ProcOf<Proc>(User32(), "UnregisterSuspendResumeNotification");
  return proc && proc(reinterpret_cast<HANDLE>(registration)) != FALSE;
}

uintptr_t Win32PowerPlatform::RegisterDisplayState(uintptr_t window) {
  using Proc = HANDLE(WINAPI*)(HANDLE, LPCGUID, DWORD);
  static const Proc proc = ProcOf<Proc>(User32(), "RegisterPowerSettingNotification");
  GUID setting;
  static_assert(sizeof setting == sizeof kConsoleDisplayStateGuid);
  std::memcpy(&setting, kConsoleDisplayStateGuid, sizeof setting);
  return proc ? reinterpret_cast<uintptr_t>(proc(reinterpret_cast<HANDLE>(window), &setting, DEVICE_NOTIFY_WINDOW_HANDLE))
              : 0;
}

bool Win32PowerPlatform::UnregisterDisplayState(uintptr_t registration) {
  using Proc = BOOL(WINAPI*)(HANDLE);
  static const Proc proc = ProcOf<Proc>(User32(), "UnregisterPowerSettingNotification");
  return proc && proc(reinterpret_cast<HANDLE>(registration)) != FALSE;
}

void Win32PowerPlatform::Trace(std::string_view line) {
  // The lines are ASCII: each byte is its own UTF-16 unit. The line break ends the
  // line in viewers that join what they receive.
  std::wstring wide;
  for (char c : line) wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
  wide += L'\n';
  OutputDebugStringW(wide.c_str());
}

}  // namespace velquin
