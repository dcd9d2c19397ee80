#pragma once
// Display scale. Layouts are designed at 96 dots per inch; every designed length
// goes through ScaleForDpi on its way to a window, so that at 96 DPI each number
// stays as designed and elsewhere all of them grow together (MulDiv rounding).
#include <windows.h>

namespace velquin {

inline constexpr int kDesignDpi = 96;

inline int ScaleForDpi(int designed, int dpi) { return MulDiv(designed, dpi, kDesignDpi); }
// Back from `dpi` to designed units (exact for values ScaleForDpi gave).
inline int UnscaleForDpi(int pixels, int dpi) { return MulDiv(pixels, kDesignDpi, dpi); }

// The DPI of the primary screen, where new top-level windows start.
int SystemDpi();
// The DPI of the monitor `window` is on, as the window sees it.
int WindowDpi(HWND window);
// AdjustWindowRectEx with the frame as it is at `dpi`.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi);
// The side of an icon of kind `metric` (SM_CXICON or SM_CXSMICON) at `dpi`.
int IconSizeForDpi(int metric, int dpi);
// An icon resource, of the module or (`instance` null) of the system, at the size
// `metric` has at `dpi`; the caller owns it and destroys it.
HICON LoadIconForDpi(HINSTANCE instance, const wchar_t* name, int metric, int dpi);

}  // namespace velquin
