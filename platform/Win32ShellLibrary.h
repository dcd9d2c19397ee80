#pragma once
// The shell library's two entry points the program uses, bound on first use: linked
// at start, the shell library and what it brings along add to every start-up, while
// the program may wait in the tray for days before it first opens anything.
#include <windows.h>
#include <shellapi.h>

namespace velquin {

// As ShellExecuteW; SE_ERR_DLLNOTFOUND when the library cannot be loaded.
HINSTANCE LazyShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                            LPCWSTR directory, INT showCommand);
// As Shell_NotifyIconW; FALSE when the library cannot be loaded.
BOOL LazyShellNotifyIconW(DWORD message, PNOTIFYICONDATAW data);

}  // namespace velquin
