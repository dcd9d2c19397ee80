// The floor for start-up with a stored list: what Velquin's start must do and
// nothing more, in raw Win32 with the wide calls (the texts in UTF-16, no
// conversions), with the same toolchain, flags and static run-time.
// COM for the thread, an application window (hidden, the owner), the 482 x 297 main
// window with the main window's controls in the form font (the buttons drawn with
// blue captions), then for each of the stored lines one RegQueryValueExW, one
// FindFirstFileW/FindClose on its quoted file name and one LB_ADDSTRING; then the
// window is shown, centred, and the message loop runs.
#include <windows.h>

#include "RawLoad.h"
#include <objbase.h>

#include <iterator>
#include <string>

namespace {

HFONT g_font = nullptr;

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      RECT r = item.rcItem;
      FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
      DrawFrameControl(item.hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH);
      wchar_t caption[128];
      GetWindowTextW(item.hwndItem, caption, static_cast<int>(std::size(caption)));
      HGDIOBJ old = SelectObject(item.hDC, g_font);
      SetBkMode(item.hDC, TRANSPARENT);
      SetTextColor(item.hDC, RGB(0, 0, 255));
      DrawTextW(item.hDC, caption, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      SelectObject(item.hDC, old);
      return TRUE;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

struct Child {
  const wchar_t* className;
  const wchar_t* caption;
  DWORD style, exStyle;
  int left, top, width, height;
};

const Child kChildren[] = {
    {L"STATIC", L"スタンバイ、および休止状態からの復帰時に実行するタスク", SS_LEFT | SS_NOTIFY, 0, 8, 8, 300, 12},
    {L"LISTBOX", L"", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 8, 32,
     459, 177},
    {L"BUTTON", L"起動時に最小化する", BS_AUTOCHECKBOX | WS_TABSTOP, 0, 5, 214, 145, 17},
    {L"BUTTON", L"タスクを追加(&A)", BS_OWNERDRAW | WS_TABSTOP, 0, 162, 216, 95, 17},
    {L"BUTTON", L"タスクを編集(&E)", BS_OWNERDRAW | WS_TABSTOP, 0, 266, 216, 95, 17},
    {L"BUTTON", L"タスクを削除(&D)", BS_OWNERDRAW | WS_TABSTOP, 0, 370, 216, 95, 17},
    {L"BUTTON", L"最小化(タスクトレイに表示)(&T)", BS_OWNERDRAW | WS_TABSTOP, 0, 112, 239, 168, 25},
    {L"BUTTON", L"About ..", BS_OWNERDRAW | WS_TABSTOP, 0, 289, 239, 80, 25},
    {L"BUTTON", L"終了(&X)", BS_OWNERDRAW | WS_TABSTOP, 0, 378, 239, 87, 25},
};

void LoadLines(HWND list) { RawLoadLines(list); }

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  WNDCLASSW appClass{};
  appClass.lpfnWndProc = DefWindowProcW;
  appClass.hInstance = instance;
  appClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  appClass.lpszClassName = L"VelquinBenchFloorApp";
  WNDCLASSW mainClass = appClass;
  mainClass.style = CS_DBLCLKS;
  mainClass.lpfnWndProc = MainProc;
  mainClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  mainClass.lpszClassName = L"VelquinBenchFloorMain";
  if (!RegisterClassW(&appClass) || !RegisterClassW(&mainClass)) return 1;
  HWND app = CreateWindowExW(0, appClass.lpszClassName, L"ヴェルキン",
                             WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                             GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                             nullptr, instance, nullptr);
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  RECT frame{0, 0, 474, 270};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  HWND main = CreateWindowExW(0, mainClass.lpszClassName, L"ヴェルキン Ver, 1,1", style, 0, 0, width, height, app,
                              nullptr, instance, nullptr);
  if (!app || !main) return 1;
  g_font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"ＭＳ Ｐゴシック");
  HWND list = nullptr;
  for (const Child& child : kChildren) {
    HWND control = CreateWindowExW(child.exStyle, child.className, child.caption, child.style | WS_CHILD | WS_VISIBLE,
                                   child.left, child.top, child.width, child.height, main, nullptr, instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), FALSE);
    if (!list && child.exStyle == WS_EX_CLIENTEDGE) list = control;
  }
  SendMessageW(list, LB_SETITEMHEIGHT, 0, 12);
  LoadLines(list);
  SetWindowPos(main, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(main, showCommand);
  UpdateWindow(main);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return 0;
}
