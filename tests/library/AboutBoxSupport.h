#pragma once
// Shows an about box through its component and looks at the dialog while it is up.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "library/HAboutForm.h"
#include "library/HLVGUICommonAboutForm.h"
#include "tests/program/TestSupport.h"

namespace velquin::test {

// A control's rectangle in its dialog's client coordinates.
inline RECT PlaceOf(const TControl* control) {
  RECT r{};
  GetWindowRect(control->Handle(), &r);
  MapWindowPoints(nullptr, GetParent(control->Handle()), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

inline SIZE ClientSizeOf(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return {r.right, r.bottom};
}

// Closes an about dialog that nobody answered, so that a test never hangs on it.
inline void CALLBACK CloseStrayAbout(HWND, UINT, UINT_PTR, DWORD) {
  if (HWND w = FindWindowA("T_HLVGUICommonAboutForm", nullptr); w && IsWindowVisible(w))
    PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0);
}

// Runs `about`'s Execute; once the dialog captioned `caption` is up and in front,
// `inspect` looks at it, then Esc closes it. Returns whether the dialog was seen.
inline bool ShowAbout(THAboutForm& about, const std::string& caption,
                      const std::function<void(T_HLVGUICommonAboutForm&)>& inspect) {
  DialogAnswerer answers;
  bool seen = false;
  answers.Expect("T_HLVGUICommonAboutForm", caption, [&](HWND w) {
    seen = true;
    auto* dialog = dynamic_cast<T_HLVGUICommonAboutForm*>(Application()->FindForm(w));
    EXPECT_NE(dialog, nullptr);
    if (dialog) inspect(*dialog);
    PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  const UINT_PTR timer = SetTimer(nullptr, 0, 8000, CloseStrayAbout);
  about.Execute();
  KillTimer(nullptr, timer);
  return seen;
}

}  // namespace velquin::test
