#include "app/Velquin_MainForm.h"

#include <cstdint>
#include <string>

#include "app/Velquin_InputTask.h"
#include "core/tasks/ResumeRunner.h"
#include "core/tasks/TaskStore.h"
#include "library/HLVTextRoutines.h"
#include "toolkit/Dpi.h"
#include "toolkit/WindowText.h"
#include "toolkit/WindowTarget.h"
#include "VelquinVersion.h"

namespace velquin {
namespace {

using enum TControlKind;
constexpr unsigned akRightBottom = akRight | akBottom;

// clang-format off
const TControlDesc kMainControls[] = {
  // kind     name                    caption                                                left top  width      height     anchors           tab     options action
  {Label,    "cxLabel1",             "スタンバイ、および休止状態からの復帰時に実行するタスク", 8,   8,   kAutoSize, kAutoSize, akLeftTop,        kNoTab},
  {ListBox,  "lbxTaskList",          "",                                                     8,   32,  459,       177,       akAll,            0},
  {CheckBox, "ckbMinimizeWhenStart", "起動時に最小化する",                                   5,   214, 145,       kAutoSize, akLeft | akBottom, 1},
  {Button,   "btnAppendTask",        nullptr,                                                162, 216, 95,        17,        akRightBottom,    2,      0,      "acnAppendTask"},
  {Button,   "btnEditTask",          nullptr,                                                266, 216, 95,        17,        akRightBottom,    3,      0,      "acnEditTask"},
  {Button,   "btnDeleteTask",        nullptr,                                                370, 216, 95,        17,        akRightBottom,    4,      0,      "acnDeleteTask"},
  {Button,   "btnToTaskTray",        nullptr,                                                112, 239, 168,       25,        akRightBottom,    5,      0,      "acnToTaskTray"},
  {Button,   "btnAbout",             "About ..",                                             289, 239, 80,        25,        akRightBottom,    6},
  {Button,   "btnExit",              nullptr,                                                378, 239, 87,        25,        akRightBottom,    7,      0,      "acnExit"},
};
// clang-format on

const TFormDesc kMainForm{"_MainForm", kMainFormCaption, 474, 270, TBorderStyle::Sizeable,
                          TPosition::ScreenCenter, kMainControls};

const char kExitQuestion[] =
    "終了すると、スタンバイおよび休止状態から復帰したときに\r\n"
    "タスクが実行されません。\r\n"
    "実行されるようにするには、終了せずに最小化してください。\r\n"
    "\r\n"
    "終了しますか？";

}  // namespace

T_MainForm::T_MainForm(TComponent* owner, MainFormPorts ports)
    : TForm(owner, kMainForm),
      ports_(ports),
      taskStore_(ports.registry, ports.fileSystem),
      resumeNotifications_(ports.power),
      taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")),
      showRunningCopy_(RegisterWindowMessageW(kShowRunningCopyMessage)) {}

T_MainForm::~T_MainForm() {
  if (trayIcon_) DestroyIcon(trayIcon_);
}

void T_MainForm::CreateComponents() {
  apeVelquin = new TApplicationEvents(this, "apeVelquin");
  ppmVelquin = new TPopupMenu(this, "ppmVelquin");
  aclVelquin = new TActionList(this, "aclVelquin");
  acnAppendTask = aclVelquin->Add("acnAppendTask", "タスクを追加(&A)", [this](TComponent* s) { acnAppendTaskExecute(s); });
  acnDeleteTask = aclVelquin->Add("acnDeleteTask", "タスクを削除(&D)", [this](TComponent* s) { acnDeleteTaskExecute(s); });
  acnExit = aclVelquin->Add("acnExit", "終了(&X)", [this](TComponent* s) { acnExitExecute(s); });
  acnToTaskTray = aclVelquin->Add("acnToTaskTray", "最小化(タスクトレイに表示)(&T)", [this](TComponent* s) { acnToTaskTrayExecute(s); });
  acnEditTask = aclVelquin->Add("acnEditTask", "タスクを編集(&E)", [this](TComponent* s) { acnEditTaskExecute(s); });
  mniAppendTask = ppmVelquin->Add("mniAppendTask", acnAppendTask);
  E1 = ppmVelquin->Add("E1", acnEditTask);
  mniDeleteTask = ppmVelquin->Add("mniDeleteTask", acnDeleteTask);
  timVelquin = new TTimer(this, "timVelquin", 1000);

  // The about box's values as designed; the web buttons go through the program's shell.
  cmpAbout = new THAboutForm(this, "cmpAbout");
  cmpAbout->SetProductName("ヴェルキン");
  cmpAbout->SetProductVersion(VELQUIN_VERSION);
  cmpAbout->SetCompanyName(kMakerCompanyName);
  cmpAbout->SetCopyright(kMakerCopyright);
  cmpAbout->SetUseVersionInfoFromFile(false);
  cmpAbout->SetEnableRegSite(true);
  cmpAbout->SetRegSiteButtonVisible(true);
  cmpAbout->SetContactButtonVisible(true);
  cmpAbout->SetWidth(500);
  cmpAbout->SetVersionFormat(kDefaultVersionFormat);
  cmpAbout->SetShell(ports_.shell);
}

void T_MainForm::Loaded() {
  lbxTaskList = Control<TListBox>("lbxTaskList");
  btnExit = Control<TButton>("btnExit");
  btnToTaskTray = Control<TButton>("btnToTaskTray");
  cxLabel1 = Control<TLabel>("cxLabel1");
  ckbMinimizeWhenStart = Control<TCheckBox>("ckbMinimizeWhenStart");
  btnAbout = Control<TButton>("btnAbout");
  btnAppendTask = Control<TButton>("btnAppendTask");
  btnDeleteTask = Control<TButton>("btnDeleteTask");
  btnEditTask = Control<TButton>("btnEditTask");

  lbxTaskList->PopupMenu = ppmVelquin;
  lbxTaskList->OnDblClick = [this](TComponent* s) { lbxTaskListDblClick(s); };
  btnAbout->OnClick = [this](TComponent* s) { btnAboutClick(s); };
  aclVelquin->OnUpdate = [this](TAction* a, bool& handled) { aclVelquinUpdate(a, handled); };
  apeVelquin->OnMinimize = [this](TComponent* s) { apeVelquinMinimize(s); };
  timVelquin->OnTimer = [this](TComponent* s) { timVelquinTimer(s); };
  OnCreate = [this](TComponent* s) { FormCreate(s); };
  OnDestroy = [this](TComponent* s) { FormDestroy(s); };
  OnCloseQuery = [this](TComponent* s, bool& canClose) { FormCloseQuery(s, canClose); };
  ckbMinimizeWhenStart->OnClick = [this](TComponent* s) { ckbMinimizeWhenStartClick(s); };
  SetMessageHandler(WM_POWERBROADCAST, [this](TMessage& m) { WMPowerBroadcast(m); });
  if (taskbarCreated_) SetMessageHandler(taskbarCreated_, [this](TMessage& m) { WMTaskbarCreated(m); });
  if (showRunningCopy_) SetMessageHandler(showRunningCopy_, [this](TMessage& m) { WMShowRunningCopy(m); });
  // The window exists: where standby is S0 low-power idle, ask for the notifications.
  resumeNotifications_.Start(reinterpret_cast<uintptr_t>(Handle()));
}

// --- Life cycle ---------------------------------------------------------------------

void T_MainForm::FormCreate(TComponent*) {
  bool minimizeWhenStart = false;
  try {
    // The list box gets the loaded lines at once; after a failure, those read so far.
    TaskListUpdate update(*lbxTaskList);
    taskStore_.Load(*lbxTaskList, minimizeWhenStart);
    update.Finish();
  } catch (...) {
    ckbMinimizeWhenStart->SetChecked(minimizeWhenStart);
    throw;  // reported by the toolkit; the timer stays off
  }
  ckbMinimizeWhenStart->SetChecked(minimizeWhenStart);
  timVelquin->SetEnabled(ckbMinimizeWhenStart->Checked());
}

void T_MainForm::FormDestroy(TComponent*) {
  resumeNotifications_.Stop();
  struct RemoveIcon {
    T_MainForm* form;
    ~RemoveIcon() { form->RemoveTrayIconAtExit(); }
  } removeIcon{this};
  SaveTasks();
}

void T_MainForm::WndProc(TMessage& Message) {
  FInQueryEndSession = Message.Msg == WM_QUERYENDSESSION;
  if (Message.Msg == WM_TRAYICON) {
    // Only an icon that is there can be clicked; a stray message changes nothing.
    if (Message.LParam == WM_LBUTTONDOWN && FTrayIconShown) RestoreFromTray();
    return;
  }
  TForm::WndProc(Message);
  if (Message.Msg == WM_DPICHANGED) ReloadTrayIcon();
}

void T_MainForm::WMPowerBroadcast(TMessage& Message) {
  // With PBT_POWERSETTINGCHANGE, lParam points to the setting's record in this
  // process; the rule reads it only for the setting registered.
  const PowerVerdict verdict =
      resumeNotifications_.Receive(Message.WParam, reinterpret_cast<const void*>(Message.LParam));
  Message.Result = verdict.result;
  if (verdict.runPass)
    RunResumePass(*lbxTaskList, ports_.fileSystem, ports_.shell, reinterpret_cast<uintptr_t>(Handle()));
}

void T_MainForm::FormCloseQuery(TComponent*, bool& CanClose) {
  if (FInQueryEndSession) return;  // the logon ends: ask nothing, hold nothing up
  CanClose = MessageDlg(kExitQuestion, TMsgDlgType::Confirmation, mbYes | mbNo) == mrYes;
}

void T_MainForm::acnExitExecute(TComponent*) { Close(); }

void T_MainForm::btnAboutClick(TComponent*) { cmpAbout->Execute(); }

void T_MainForm::aclVelquinUpdate(TAction*, bool&) {
  const bool selected = lbxTaskList->ItemIndex() >= 0;
  acnDeleteTask->SetEnabled(selected);
  acnEditTask->SetEnabled(selected);
}

// --- Tray residency -----------------------------------------------------------------

void T_MainForm::ToggleTrayIcon() {
  NotifyIconDataV1& data = FNotifyIconData;
  data.cbSize = sizeof data;
  data.hWnd = Handle();
  data.uID = 1;
  if (!FTrayIconShown) {
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAYICON;
    if (!trayIcon_) LoadTrayIcon();
    data.hIcon = trayIcon_ ? trayIcon_ : Application()->Icon();
    SetTip(data, WideWindowText(Handle()));
    // Counted only when the shell has it, so that a failure leaves a way back. A
    // busy shell may report a failed add although it took the icon: a modify,
    // which only an existing icon accepts, tells.
    FTrayIconShown = ports_.notifyIcon.Notify(NIM_ADD, data) || ports_.notifyIcon.Notify(NIM_MODIFY, data);
  } else {
    ports_.notifyIcon.Notify(NIM_DELETE, data);
    FTrayIconShown = false;
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  }
}

// The small icon at the size of the display the window is on.
void T_MainForm::LoadTrayIcon() {
  const HICON icon = LoadIconForDpi(ModuleInstance(), L"MAINICON", SM_CXSMICON, Dpi());
  if (!icon) return;  // the one there is stays
  if (trayIcon_) DestroyIcon(trayIcon_);
  trayIcon_ = icon;
}

// A new display scale: an icon in the tray is replaced by one of the new size
// before the old one goes.
void T_MainForm::ReloadTrayIcon() {
  const HICON old = trayIcon_;
  trayIcon_ = nullptr;
  LoadTrayIcon();
  if (!trayIcon_) {
    trayIcon_ = old;
    return;
  }
  if (FTrayIconShown) {
    FNotifyIconData.hIcon = trayIcon_;
    ports_.notifyIcon.Notify(NIM_MODIFY, FNotifyIconData);
  }
  if (old) DestroyIcon(old);
}

void T_MainForm::RestoreFromTray() {
  Application()->Restore();
  ToggleTrayIcon();
}

void T_MainForm::WMShowRunningCopy(TMessage& Message) {
  // A second start of the program found this copy: come back as a click on the icon
  // would, or to the front, with an open dialog still in front. A copy that is
  // ending says no, and the start waits for it to end and runs itself.
  Message.Result = 0;
  if (Application()->Terminated() || Application()->Halting()) return;
  if (FTrayIconShown) {
    RestoreFromTray();
  } else if (Application()->Minimized()) {
    Application()->Restore();
  } else {
    SetForegroundWindow(GetLastActivePopup(Handle()));
  }
  Message.Result = kRunningCopyShown;
}

void T_MainForm::KeepTaskbarButtonWithoutIcon() {
  // Without an icon the minimised taskbar button is the only way back.
  if (!FTrayIconShown) ShowWindow(Application()->Handle(), SW_SHOWMINNOACTIVE);
}

void T_MainForm::apeVelquinMinimize(TComponent*) {
  ShowWindow(Application()->Handle(), SW_HIDE);
  if (!FTrayIconShown) ToggleTrayIcon();
  KeepTaskbarButtonWithoutIcon();
}

void T_MainForm::WMTaskbarCreated(TMessage& Message) {
  // The notification area is new: the shell restarted, or it was not there yet
  // when the program moved into the tray. Add the icon again whether or not the
  // earlier add succeeded; once it is there, the taskbar button goes.
  if (Application()->Minimized() || FTrayIconShown) {
    LoadTrayIcon();  // the taskbar may have come back at another scale
    FTrayIconShown = false;
    ToggleTrayIcon();
    if (FTrayIconShown)
      ShowWindow(Application()->Handle(), SW_HIDE);
    else
      KeepTaskbarButtonWithoutIcon();
  }
  DefaultHandling(Message);
}

void T_MainForm::RemoveTrayIconAtExit() {
  if (!FTrayIconShown) return;
  FNotifyIconData.cbSize = sizeof FNotifyIconData;
  FNotifyIconData.hWnd = Handle();
  FNotifyIconData.uID = 1;
  ports_.notifyIcon.Notify(NIM_DELETE, FNotifyIconData);
  FTrayIconShown = false;
}

void T_MainForm::acnToTaskTrayExecute(TComponent*) { Application()->Minimize(); }

void T_MainForm::timVelquinTimer(TComponent*) {
  struct Disable {
    TTimer* timer;
    ~Disable() { timer->SetEnabled(false); }
  } disable{timVelquin};  // acts once, also when the action fails
  acnToTaskTray->Execute();
}

// --- Task editing -------------------------------------------------------------------

void T_MainForm::acnAppendTaskExecute(TComponent*) {
  auto* dialog = CreateForm<T_InputTaskForm>(this, ports_.fileSystem);
  TReleaseOnExit release(dialog);
  if (dialog->ShowModal() != mrOk) return;
  const int index = lbxTaskList->Append(Trim(dialog->TaskFileName) + " " + dialog->TaskParams);
  UpdateScrollWidth(*lbxTaskList, index);
  SaveTasks();
}

void T_MainForm::acnEditTaskExecute(TComponent*) {
  auto* dialog = CreateForm<T_InputTaskForm>(this, ports_.fileSystem);
  TReleaseOnExit release(dialog);
  dialog->PrepareEdit(lbxTaskList->Item(lbxTaskList->ItemIndex()));
  if (dialog->ShowModal() != mrOk) return;
  const int index = lbxTaskList->ItemIndex();
  lbxTaskList->Replace(index, Trim(dialog->TaskFileName + " " + dialog->TaskParams));
  UpdateScrollWidth(*lbxTaskList, index);
  SaveTasks();
}

void T_MainForm::acnDeleteTaskExecute(TComponent*) {
  const std::string question = "タスク: \"" + lbxTaskList->Item(lbxTaskList->ItemIndex()) +
                               "\" を削除してもよろしいですか？\r\n"
                               "ヴェルキンの実行対象から外れるだけですので、ファイル本体は削除されません。";
  if (MessageDlg(question, TMsgDlgType::Confirmation, mbYes | mbNo) != mrYes) return;
  lbxTaskList->Delete(lbxTaskList->ItemIndex());
  SaveTasks();
}

void T_MainForm::ckbMinimizeWhenStartClick(TComponent*) { SaveTasks(); }

// Each change is stored at once, by the rules of the save at exit: a program that
// is killed, or a machine that loses power, after weeks in the tray keeps its list.
// A write that fails is reported as at exit; the list keeps the change and the
// next save writes it.
void T_MainForm::SaveTasks() { taskStore_.Save(*lbxTaskList, ckbMinimizeWhenStart->Checked()); }

void T_MainForm::lbxTaskListDblClick(TComponent*) { acnEditTask->Execute(); }

}  // namespace velquin
