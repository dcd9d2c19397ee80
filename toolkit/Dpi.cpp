#include "toolkit/Dpi.h"

namespace velquin {
namespace {

// The DPI functions of Windows 10 and later, looked up so that the program still
// starts where they are missing (then the system's DPI holds for every window).
template <class F>
F User32Function(const char* name) {
  static const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

int ScreenDpi() {
  HDC dc = GetDC(nullptr);
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : kDesignDpi;
  if (dc) ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : kDesignDpi;
}

}  // namespace

int SystemDpi() {
  using Proc = UINT(WINAPI*)();
  static const Proc getDpiForSystem = User32Function<Proc>("GetDpiForSystem");
  const int dpi = getDpiForSystem ? static_cast<int>(getDpiForSystem()) : 0;
  return dpi > 0 ? dpi : ScreenDpi();
}

int WindowDpi(HWND window) {
  using Proc = UINT(WINAPI*)(HWND);
  static const Proc getDpiForWindow = User32Function<Proc>("GetDpiForWindow");
  const int dpi = getDpiForWindow && window ? static_cast<int>(getDpiForWindow(window)) : 0;
  return dpi > 0 ? dpi : SystemDpi();
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
  using Proc = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const Proc adjust = User32Function<Proc>("AdjustWindowRectExForDpi");
  if (!adjust || !adjust(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)))
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

HICON LoadIconForDpi(HINSTANCE instance, const wchar_t* name, int metric, int dpi) {
  const int size = ScaleForDpi(metric == SM_CXSMICON ? 16 : 32, dpi);
  const UINT flags = instance ? 0 : LR_SHARED;
  return static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, size, size, flags));
}

}  // namespace velquin
