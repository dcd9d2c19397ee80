// The session lock (a named mutex) and the running copy's window, against the real
// thing. Mutexes belong to threads: the other copy is a second thread here.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/Win32RunningCopy.h"
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

const char kShowMessage[] = "VelquinTests.ShowRunningCopy";
UINT gReceived = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == RegisterWindowMessageA(kShowMessage)) ++gReceived;
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST(Win32RunningCopy, PostsTheMessageToTheWindowOfThatClassAndCaption) {
  const UINT message = RegisterWindowMessageA(kShowMessage);
  WNDCLASSA wc{};
  wc.lpfnWndProc = CountingProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "VelquinTestsMain";
  ASSERT_NE(RegisterClassA(&wc), 0);
  const HWND window = CreateWindowExA(0, "VelquinTestsMain", "ヴェルキン test", WS_OVERLAPPED, 0, 0, 100, 100,
                                      nullptr, nullptr, wc.hInstance, nullptr);  // hidden, as in the tray
  ASSERT_NE(window, nullptr);
  const struct {
    const char* windowClass;
    const char* caption;
    bool found;
  } cases[] = {
      {"VelquinTestsMain", "ヴェルキン test", true},
      {"VelquinTestsMain", "other caption", false},
      {"OtherClass", "ヴェルキン test", false},
  };
  for (const auto& c : cases) {
    gReceived = 0;
    Win32RunningCopy running(c.windowClass, c.caption, message);
    EXPECT_EQ(running.AskToShow(), c.found) << c.windowClass << " " << c.caption;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    EXPECT_EQ(gReceived, c.found ? 1u : 0u) << c.windowClass << " " << c.caption;
  }
  DestroyWindow(window);
  UnregisterClassA("VelquinTestsMain", wc.hInstance);
}

}  // namespace
}  // namespace velquin
