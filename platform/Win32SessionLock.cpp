#include "platform/Win32SessionLock.h"

#include "text/CodePage932.h"

namespace velquin {

Win32SessionLock::~Win32SessionLock() {
  if (owned_) ReleaseMutex(mutex_);
  if (mutex_) CloseHandle(mutex_);
}

SessionLock::Claim Win32SessionLock::TryTake() {
  if (mutex_) return owned_ ? Claim::Taken : Claim::HeldElsewhere;
  const std::optional<std::wstring> name = WideFromCp932Strict(name_);
  if (!name) return Claim::Unavailable;
  mutex_ = CreateMutexW(nullptr, TRUE, name->c_str());
  if (!mutex_) return Claim::Unavailable;
  // An existing mutex is opened without taking it.
  if (GetLastError() == ERROR_ALREADY_EXISTS) return WaitTake(0) ? Claim::Taken : Claim::HeldElsewhere;
  owned_ = true;
  return Claim::Taken;
}

bool Win32SessionLock::WaitTake(uint32_t milliseconds) {
  if (!mutex_) return false;
  if (!owned_) {
    // Abandoned: the holder ended without letting go, which is as good.
    const DWORD result = WaitForSingleObject(mutex_, milliseconds);
    owned_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
  }
  return owned_;
}

}  // namespace velquin
