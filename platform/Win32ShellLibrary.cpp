#include "platform/Win32ShellLibrary.h"

#include "platform/SystemLibrary.h"

namespace velquin {
namespace {

HMODULE ShellLibrary() {
  static const HMODULE module = LoadSystemLibrary("shell32.dll");
  return module;
}

template <class Proc>
Proc ShellProc(const char* name) {
  HMODULE module = ShellLibrary();
  return module ? reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

}  // namespace

HINSTANCE LazyShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                            LPCWSTR directory, INT showCommand) {
  using Proc = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
  static const Proc proc = ShellProc<Proc>("ShellExecuteW");
  return proc ? proc(owner, verb, file, parameters, directory, showCommand)
              : reinterpret_cast<HINSTANCE>(SE_ERR_DLLNOTFOUND);
}

BOOL LazyShellNotifyIconW(DWORD message, PNOTIFYICONDATAW data) {
  using Proc = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAW);
  static const Proc proc = ShellProc<Proc>("Shell_NotifyIconW");
  return proc ? proc(message, data) : FALSE;
}

}  // namespace velquin
