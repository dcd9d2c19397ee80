// The session lock, a named mutex, against the real thing (the running copy's window
// is tested end to end). Mutexes belong to threads: the other copy is a second
// thread here.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/Win32SessionLock.h"

namespace velquin {
namespace {

const char kLockName[] = "Local\\VelquinTests.SessionLock";

// Another copy: takes the lock on its own thread, holds it until told, then lets
// go or ends without letting go.
class OtherCopy {
 public:
  explicit OtherCopy(bool releases) : releases_(releases) {
    taken_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    finish_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    WaitForSingleObject(taken_, 10000);
  }
  ~OtherCopy() {
    End();
    CloseHandle(thread_);
    CloseHandle(taken_);
    CloseHandle(finish_);
  }
  void End() {
    SetEvent(finish_);
    WaitForSingleObject(thread_, 10000);
  }
  SessionLock::Claim claim = SessionLock::Claim::Unavailable;

 private:
  static DWORD WINAPI Run(void* self) {
    auto* copy = static_cast<OtherCopy*>(self);
    auto* lock = new Win32SessionLock(kLockName);
    copy->claim = lock->TryTake();
    SetEvent(copy->taken_);
    WaitForSingleObject(copy->finish_, INFINITE);
    if (copy->releases_) delete lock;  // else the thread ends holding it: abandoned
    return 0;
  }
  bool releases_;
  HANDLE taken_, finish_, thread_;
};

TEST(Win32SessionLock, OneHolderAtATime) {
  struct Case {
    const char* what;
    bool releases;
  } cases[] = {{"the holder lets go", true}, {"the holder ends holding it", false}};
  for (const Case& c : cases) {
    OtherCopy other(c.releases);
    ASSERT_EQ(other.claim, SessionLock::Claim::Taken) << c.what;
    Win32SessionLock lock(kLockName);
    EXPECT_EQ(lock.TryTake(), SessionLock::Claim::HeldElsewhere) << c.what;
    EXPECT_FALSE(lock.WaitTake(50)) << c.what;
    other.End();
    EXPECT_TRUE(lock.WaitTake(1000)) << c.what;
    EXPECT_EQ(lock.TryTake(), SessionLock::Claim::Taken) << c.what;
  }
  // A name that another kind of object holds cannot be a lock.
  const HANDLE event = CreateEventA(nullptr, FALSE, FALSE, "Local\\VelquinTests.NotAMutex");
  Win32SessionLock refused("Local\\VelquinTests.NotAMutex");
  EXPECT_EQ(refused.TryTake(), SessionLock::Claim::Unavailable);
  CloseHandle(event);
}

}  // namespace
}  // namespace velquin
