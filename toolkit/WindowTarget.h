#pragma once
// The one window procedure of the toolkit. The application window, every form and
// every subclassed control is a TWindowTarget: WindowTrampoline finds it by the
// window's property and hands it each message, reporting the exceptions it lets
// out with the default report.
#include <windows.h>

namespace velquin {

// The module whose window classes the toolkit registers.
inline HINSTANCE ModuleInstance() { return GetModuleHandleW(nullptr); }

class TWindowTarget {
 public:
  // The target of `window`; nullptr when it has none (yet or any longer).
  static TWindowTarget* Of(HWND window);

 protected:
  virtual ~TWindowTarget() = default;
  // Binds `window` to this target. For a window whose class the toolkit does not
  // own, the class's procedure is replaced by the trampoline and kept for
  // CallClassProc.
  void AttachWindow(HWND window, bool subclass);
  LRESULT CallClassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) const;
  // Every message but the last.
  virtual LRESULT WindowMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) = 0;
  // The window is being destroyed (WM_NCDESTROY): it is already unbound.
  virtual void WindowGone() = 0;

 private:
  friend LRESULT CALLBACK WindowTrampoline(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  WNDPROC classProc_ = DefWindowProcW;
};

// The window procedure of the toolkit's classes and of its subclassed controls.
// Classes registered with it pass their target as the creation parameter.
LRESULT CALLBACK WindowTrampoline(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace velquin
