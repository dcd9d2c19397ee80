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

int IconSizeForDpi(int metric, int dpi) {
  using Proc = int(WINAPI*)(int, UINT);
  static const Proc metricsForDpi = User32Function<Proc>("GetSystemMetricsForDpi");
  const int size = metricsForDpi ? metricsForDpi(metric, static_cast<UINT>(dpi)) : 0;
  return size > 0 ? size : ScaleForDpi(metric == SM_CXSMICON ? 16 : 32, dpi);
}

HICON LoadIconForDpi(HINSTANCE instance, const wchar_t* name, int metric, int dpi) {
  const int size = IconSizeForDpi(metric, dpi);
  if (instance) return static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, size, size, 0));
  // A system icon: a shared one keeps the size it was first asked for, so it is
  // loaded unshared at this size, or copied from the shared one at this size.
  using ScaleDownProc = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
  static const HMODULE comctl32 = GetModuleHandleW(L"comctl32.dll");
  static const auto scaleDown =
      comctl32 ? reinterpret_cast<ScaleDownProc>(reinterpret_cast<void*>(GetProcAddress(comctl32, "LoadIconWithScaleDown")))
               : nullptr;
  HICON icon = nullptr;
  if (scaleDown && SUCCEEDED(scaleDown(nullptr, name, size, size, &icon)) && icon) return icon;
  icon = static_cast<HICON>(LoadImageW(nullptr, name, IMAGE_ICON, size, size, 0));
  if (icon) return icon;
  const HANDLE shared = LoadImageW(nullptr, name, IMAGE_ICON, 0, 0, LR_SHARED | LR_DEFAULTSIZE);
  if (!shared) return nullptr;
  icon = static_cast<HICON>(CopyImage(shared, IMAGE_ICON, size, size, LR_COPYFROMRESOURCE));
  return icon ? icon : static_cast<HICON>(CopyImage(shared, IMAGE_ICON, size, size, 0));
}

}  // namespace velquin
