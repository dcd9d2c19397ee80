// Velquin: opens the user's tasks whenever Windows resumes from standby or
// hibernation, and waits in the notification area in between.
#include <windows.h>
#include <objbase.h>

#include "app/Velquin_MainForm.h"
#include "core/start/SingleCopy.h"
#include "platform/Win32FileSystem.h"
#include "platform/Win32NotifyIcon.h"
#include "platform/Win32PowerPlatform.h"
#include "platform/Win32Registry.h"
#include "platform/SystemLibrary.h"
#include "platform/Win32RunningCopy.h"
#include "platform/Win32SessionLock.h"
#include "platform/Win32Shell.h"
#include "text/CodePage932.h"
#include "toolkit/Forms.h"

using namespace velquin;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictDllSearchToSystem();  // before anything loads a library

  // One copy per logon session: a second start shows the running copy and ends
  // before it loads or saves anything. The lock is held until the save at exit is done.
  Win32SessionLock sessionLock("Local\\HALVERN.Velquin");
  {
    Win32RunningCopy runningCopy("T_MainForm", kMainFormCaption, RegisterWindowMessageW(kShowRunningCopyMessage));
    if (DecideStart(sessionLock, runningCopy) != StartDecision::Run) return 0;
  }

  // The shell calls run on this thread; it is a single-threaded apartment.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  try {
    Win32PowerPlatform power;  // outlives the main window, which unregisters through it
    TApplication app;
    app.AddExitProc([com] {
      if (SUCCEEDED(com)) CoUninitialize();
    });
    app.SetTitle("ヴェルキン");

    Win32Registry registry;
    Win32FileSystem fileSystem;
    Win32Shell shell;
    Win32NotifyIcon notifyIcon;
    app.CreateForm<T_MainForm>(MainFormPorts{registry, fileSystem, shell, notifyIcon, &power});

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    app.Run((startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWNORMAL);
    app.DoneApplication();
  } catch (const std::exception& e) {
    MessageBoxW(nullptr, WideFromCp932(e.what()).c_str(), WideFromCp932("ヴェルキン").c_str(), MB_OK | MB_ICONERROR);
    if (SUCCEEDED(com)) CoUninitialize();
    return 1;
  }
  return 0;
}
