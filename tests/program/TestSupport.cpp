#include "tests/program/TestSupport.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "toolkit/Forms.h"
#include "toolkit/WindowText.h"

namespace velquin::test {
namespace {
DialogAnswerer* gAnswerer = nullptr;
}

void Pump(int ms) {
  PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  TApplication* app = Application();
  // The application's own loop step handles the messages and, once none is left,
  // runs its idle step before it waits; a thread timer ends every wait in time to
  // look at `done` again.
  const UINT_PTR wake = app ? SetTimer(nullptr, 0, 10, nullptr) : 0;
  bool result = false;
  for (;;) {
    if (app && !app->Terminated()) {
      app->HandleMessage();
    } else {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    if (done()) {
      result = true;
      break;
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= end) break;
    if (!app || app->Terminated())
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 10)),
                                QS_ALLINPUT);
  }
  if (wake) KillTimer(nullptr, wake);
  return result;
}

// Texts are read through the wide functions, as the user sees them, whatever the
// process's code page.
std::string WindowText(HWND window) { return WindowTextCp932(window); }

int IconSide(HICON icon) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return 0;
  BITMAP bitmap{};
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return bitmap.bmWidth;
}

HWND FindTopWindow(const char* className, const char* caption) {
  return FindWindowW(WideFromCp932(className).c_str(), caption ? WideFromCp932(caption).c_str() : nullptr);
}

std::string ChildTexts(HWND window, const char* className) {
  std::string texts;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char cls[64] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, className) != 0) continue;
    if (!texts.empty()) texts += "|";
    texts += WindowText(child);
  }
  return texts;
}

HWND FindChild(HWND parent, const char* className, const char* text) {
  return FindWindowExW(parent, nullptr, WideFromCp932(className).c_str(), WideFromCp932(text).c_str());
}

bool ClickButton(HWND dialog, const char* caption) {
  HWND button = FindChild(dialog, "Button", caption);
  if (!button) return false;
  PostMessageA(button, BM_CLICK, 0, 0);  // posted: an answer never runs a modal loop itself
  return true;
}

std::string LayoutFault(HWND dialog) {
  RECT work{}, window{}, client{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
  if (window.left < work.left || window.top < work.top || window.right > work.right || window.bottom > work.bottom)
    return "outside the work area";
  int first = INT_MAX, last = INT_MIN;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char cls[64] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Button") != 0) continue;
    RECT r{};
    GetWindowRect(child, &r);
    if (r.left < client.left || r.top < client.top || r.right > client.right || r.bottom > client.bottom)
      return "button " + WindowText(child) + " outside the dialog";
    first = std::min<int>(first, r.left);
    last = std::max<int>(last, r.right);
  }
  if (first == INT_MAX) return "no button";
  if (std::abs((first - client.left) - (client.right - last)) > 1) return "buttons not centred";
  return {};
}

DialogAnswerer::DialogAnswerer() {
  gAnswerer = this;
  timer_ = SetTimer(nullptr, 0, 25, Tick);
}

DialogAnswerer::~DialogAnswerer() {
  KillTimer(nullptr, timer_);
  if (gAnswerer == this) gAnswerer = nullptr;
}

void DialogAnswerer::Expect(std::string className, std::string caption, std::function<void(HWND)> action) {
  expected_.push_back({std::move(className), std::move(caption), std::move(action)});
}

void DialogAnswerer::Answer(const char* caption, const char* button) {
  std::string name = button;
  Expect("TMessageForm", caption, [name](HWND dialog) { ClickButton(dialog, name.c_str()); });
}

void DialogAnswerer::AnswerWithKey(const char* caption, WPARAM key) {
  Expect("TMessageForm", caption, [key](HWND) {
    HWND focus = GetFocus();
    PostMessageA(focus, WM_KEYDOWN, key, 0);
    PostMessageA(focus, WM_KEYUP, key, 0xC0000000);
  });
}

void CALLBACK DialogAnswerer::Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (gAnswerer) gAnswerer->Poll();
}

void DialogAnswerer::Poll() {
  if (busy_) return;
  busy_ = true;
  if (!expected_.empty()) {
    const Expected& next = expected_.front();
    HWND window = FindTopWindow(next.className.c_str(), next.caption.c_str());
    if (window && IsWindowVisible(window) && IsWindowEnabled(window)) {
      if (window != waitingWindow_) {
        waitingWindow_ = window;
        waitingSince_ = GetTickCount();
      }
      // Active in this thread: ready for input. Another program that took the
      // foreground meanwhile (a console the shell started, say) takes the
      // activation with it; give it back rather than wait for ever.
      if (GetActiveWindow() != window && GetTickCount() - waitingSince_ > 500) SetActiveWindow(window);
      if (GetActiveWindow() == window) {
        seen_.push_back({next.className, next.caption, ChildTexts(window, "Static")});
        auto action = next.action;
        expected_.pop_front();
        waitingWindow_ = nullptr;
        action(window);
      } else if (GetTickCount() - waitingSince_ > 10000) {
        // Never ready: close it, so that the test fails instead of hanging.
        unexpected_.push_back({next.className, "never active: " + next.caption, ChildTexts(window, "Static")});
        expected_.pop_front();
        waitingWindow_ = nullptr;
        PostMessageA(window, WM_CLOSE, 0, 0);
      }
    }
  } else {
    HWND stray = FindTopWindow("TMessageForm", nullptr);
    if (!stray || !IsWindowVisible(stray)) stray = FindTopWindow("#32770", nullptr);
    if (stray && IsWindowVisible(stray)) {
      if (stray != strayWindow_) {
        strayWindow_ = stray;
        straySince_ = GetTickCount();
      } else if (GetTickCount() - straySince_ > 2000) {
        unexpected_.push_back({"", WindowText(stray), ChildTexts(stray, "Static")});
        PostMessageA(stray, WM_CLOSE, 0, 0);
        strayWindow_ = nullptr;
      }
    }
  }
  busy_ = false;
}

}  // namespace velquin::test
