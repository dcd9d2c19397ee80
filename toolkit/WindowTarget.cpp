#include "toolkit/WindowTarget.h"

#include "toolkit/Forms.h"

namespace velquin {
namespace {
const wchar_t kTargetProp[] = L"VelquinTarget";
}

TWindowTarget* TWindowTarget::Of(HWND window) {
  return window ? static_cast<TWindowTarget*>(GetPropW(window, kTargetProp)) : nullptr;
}

void TWindowTarget::AttachWindow(HWND window, bool subclass) {
  SetPropW(window, kTargetProp, this);
  if (subclass) {
    classProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowTrampoline)));
  }
}

LRESULT TWindowTarget::CallClassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) const {
  return CallWindowProcW(classProc_, window, msg, wParam, lParam);
}

LRESULT CALLBACK WindowTrampoline(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    if (auto* target = static_cast<TWindowTarget*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        target && !TWindowTarget::Of(window))
      target->AttachWindow(window, false);
  }
  TWindowTarget* target = TWindowTarget::Of(window);
  if (!target) return DefWindowProcW(window, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    const WNDPROC proc = target->classProc_;
    if (proc != DefWindowProcW) SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    RemovePropW(window, kTargetProp);
    target->WindowGone();
    return CallWindowProcW(proc, window, msg, wParam, lParam);
  }
  LRESULT result = 0;
  Guarded([&] { result = target->WindowMessage(window, msg, wParam, lParam); });
  return result;
}

}  // namespace velquin
