#pragma once
// The session lock as a named mutex in the session's namespace ("Local\..."). The
// process that takes it owns it until the object is destroyed or the process ends.
#include <windows.h>

#include <string>

#include "core/ports/SessionLock.h"

namespace velquin {

class Win32SessionLock final : public SessionLock {
 public:
  explicit Win32SessionLock(std::string name) : name_(std::move(name)) {}
  ~Win32SessionLock() override;
  Win32SessionLock(const Win32SessionLock&) = delete;
  Win32SessionLock& operator=(const Win32SessionLock&) = delete;

  Claim TryTake() override;
  bool WaitTake(uint32_t milliseconds) override;

 private:
  std::string name_;
  HANDLE mutex_ = nullptr;
  bool owned_ = false;
};

}  // namespace velquin
