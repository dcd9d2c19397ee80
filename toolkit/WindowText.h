#pragma once
// A window's text through the wide functions, converted with code page 932 named,
// so that neither the system's nor the process's ANSI code page changes what is
// shown or read back.
#include <windows.h>

#include <string>
#include <string_view>

#include "text/CodePage932.h"

namespace velquin {

std::wstring WideWindowText(HWND window);
// What the window shows; a character without a code page 932 form becomes the
// code page's default character.
std::string WindowTextCp932(HWND window);
void SetWindowTextCp932(HWND window, std::string_view text);

}  // namespace velquin
