#pragma once
// The program's texts are code page 932 bytes; windows, fonts and common dialogs
// take UTF-16. Every text crossing between the two goes through here, with code
// page 932 named explicitly, so that neither the system's nor the process's ANSI
// code page changes what is shown or read back.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace velquin {

inline constexpr UINT kTextCodePage = 932;

std::wstring WideFromCp932(std::string_view text);
// The code page 932 form of `text`; std::nullopt when a character has none.
std::optional<std::string> Cp932FromWide(std::wstring_view text);
// Like Cp932FromWide, but a character without a code page 932 form becomes the
// code page's default character: for texts that are only shown or compared.
std::string Cp932FromWideLossy(std::wstring_view text);

// A window's text through the wide functions.
std::wstring WideWindowText(HWND window);
std::string WindowTextCp932(HWND window);
void SetWindowTextCp932(HWND window, std::string_view text);

}  // namespace velquin
