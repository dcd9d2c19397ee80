#pragma once
// The main window: the task list with its commands, the start-up option, the close
// question, the end of the logon, the power notification and the tray residency.
#include <windows.h>

#include "core/ports/FileSystem.h"
#include "core/ports/PowerPlatform.h"
#include "core/ports/Registry.h"
#include "core/ports/Shell.h"
#include "core/power/ResumeNotifications.h"
#include "core/tasks/TaskStore.h"
#include "library/HAboutForm.h"
#include "platform/Win32NotifyIcon.h"
#include "platform/Win32RunningCopy.h"
#include "toolkit/Actions.h"
#include "toolkit/Controls.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Forms.h"

namespace velquin {

// The shell's message for mouse activity over the notification-area icon.
inline constexpr UINT WM_TRAYICON = WM_USER + 100;

// The main window's caption, by which a second start finds it, and the registered
// message by which that start asks it to show itself. The caption spells the
// project's version with commas; a layout test holds it to VelquinVersion.h.
inline constexpr char kMainFormCaption[] = "ヴェルキン Ver, 1,1";
inline constexpr wchar_t kShowRunningCopyMessage[] = L"HALVERN.Velquin.ShowRunningCopy";

// What the main window works with; the entry passes the real ones, tests their own.
struct MainFormPorts {
  Registry& registry;
  FileSystem& fileSystem;
  Shell& shell;
  NotifyIcon& notifyIcon;
  PowerPlatform* power = nullptr;  // none: treated as a classic machine
};

class T_MainForm : public TForm {
 public:
  T_MainForm(TComponent* owner, MainFormPorts ports);
  ~T_MainForm() override;

  TListBox* lbxTaskList = nullptr;
  TButton* btnExit = nullptr;
  TButton* btnToTaskTray = nullptr;
  TLabel* cxLabel1 = nullptr;
  TApplicationEvents* apeVelquin = nullptr;
  TPopupMenu* ppmVelquin = nullptr;
  TActionList* aclVelquin = nullptr;
  TAction* acnAppendTask = nullptr;
  TAction* acnDeleteTask = nullptr;
  TMenuItem* mniAppendTask = nullptr;
  TMenuItem* mniDeleteTask = nullptr;
  TAction* acnExit = nullptr;
  TAction* acnToTaskTray = nullptr;
  TCheckBox* ckbMinimizeWhenStart = nullptr;
  TButton* btnAbout = nullptr;
  TButton* btnAppendTask = nullptr;
  TButton* btnDeleteTask = nullptr;
  TTimer* timVelquin = nullptr;
  TMenuItem* E1 = nullptr;
  TAction* acnEditTask = nullptr;
  TButton* btnEditTask = nullptr;
  THAboutForm* cmpAbout = nullptr;

  void FormCreate(TComponent* Sender);
  void FormDestroy(TComponent* Sender);
  void FormCloseQuery(TComponent* Sender, bool& CanClose);
  void WndProc(TMessage& Message) override;
  void WMPowerBroadcast(TMessage& Message);
  void acnExitExecute(TComponent* Sender);
  void btnAboutClick(TComponent* Sender);
  void aclVelquinUpdate(TAction* Action, bool& Handled);

  // Tray residency.
  void ToggleTrayIcon();
  void apeVelquinMinimize(TComponent* Sender);
  void acnToTaskTrayExecute(TComponent* Sender);
  void timVelquinTimer(TComponent* Sender);

  // Task editing.
  void acnAppendTaskExecute(TComponent* Sender);
  void acnEditTaskExecute(TComponent* Sender);
  void acnDeleteTaskExecute(TComponent* Sender);
  void lbxTaskListDblClick(TComponent* Sender);
  void ckbMinimizeWhenStartClick(TComponent* Sender);

  bool InQueryEndSession() const { return FInQueryEndSession; }
  bool TrayIconShown() const { return FTrayIconShown; }

 protected:
  void CreateComponents() override;
  void Loaded() override;

 private:
  void WMTaskbarCreated(TMessage& Message);
  void WMShowRunningCopy(TMessage& Message);
  void RestoreFromTray();
  void KeepTaskbarButtonWithoutIcon();
  void RemoveTrayIconAtExit();
  void LoadTrayIcon();
  void ReloadTrayIcon();
  void SaveTasks();

  bool FInQueryEndSession = false;
  bool FTrayIconShown = false;
  NotifyIconDataV1 FNotifyIconData{};
  HICON trayIcon_ = nullptr;  // the small icon at the display's scale; ours
  MainFormPorts ports_;
  TaskStore taskStore_;  // the save needs to know how far the load got
  ResumeNotifications resumeNotifications_;
  UINT taskbarCreated_;
  UINT showRunningCopy_;
};

}  // namespace velquin
