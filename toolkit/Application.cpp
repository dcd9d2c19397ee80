// The application object: its window (the taskbar button and the forms' owner),
// the message loop, minimising and restoring, the exit procedure, the error report.
#include <algorithm>

#include "core/Exception.h"
#include "toolkit/Actions.h"
#include "toolkit/Dpi.h"
#include "toolkit/Forms.h"
#include "toolkit/WindowText.h"

namespace velquin {
namespace {

TApplication* gApplication = nullptr;
const wchar_t kAppClass[] = L"TApplication";

}  // namespace

TApplication* Application() { return gApplication; }

void Guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (...) {
    if (Application()) Application()->HandleException();
  }
}

TApplication::TApplication() : TComponent(nullptr, "Application") {
  previous_ = gApplication;
  gApplication = this;
  // The icons at the sizes this screen's DPI asks for, not stretched from 32 pixels.
  const int dpi = SystemDpi();
  icon_ = LoadIconForDpi(ModuleInstance(), L"MAINICON", SM_CXICON, dpi);
  smallIcon_ = LoadIconForDpi(ModuleInstance(), L"MAINICON", SM_CXSMICON, dpi);
  if (!icon_) icon_ = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  if (!smallIcon_) smallIcon_ = icon_;
  WNDCLASSW wc{};
  if (!GetClassInfoW(ModuleInstance(), kAppClass, &wc)) {
    wc = WNDCLASSW{};
    wc.lpfnWndProc = WindowTrampoline;
    wc.hInstance = ModuleInstance();
    wc.hIcon = icon_;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kAppClass;
    RegisterClassW(&wc);
  }
  // No size: the window exists for its taskbar button and as the forms' owner.
  handle_ = CreateWindowExW(0, kAppClass, L"", WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                            GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                            nullptr, ModuleInstance(), static_cast<TWindowTarget*>(this));
  if (!handle_) {
    gApplication = previous_;
    throw Exception("アプリケーションのウィンドウを作成できません");
  }
  SendMessageW(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageW(handle_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  HaltProc = [] { ExitProcess(0); };
}

TApplication::~TApplication() {
  DoneApplication();
  if (handle_) DestroyWindow(handle_);
  if (gApplication == this) gApplication = previous_;
}

void TApplication::SetTitle(std::string title) {
  title_ = std::move(title);
  SetWindowTextCp932(handle_, title_);
}

void TApplication::RemoveForm(TForm* form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
  if (mainForm_ == form) mainForm_ = nullptr;
}

void TApplication::RemoveActionList(TActionList* list) {
  actionLists_.erase(std::remove(actionLists_.begin(), actionLists_.end(), list), actionLists_.end());
}

void TApplication::RemoveEvents(TApplicationEvents* events) {
  events_.erase(std::remove(events_.begin(), events_.end(), events), events_.end());
}

TForm* TApplication::FindForm(HWND window) const {
  if (!window) return nullptr;
  HWND root = GetAncestor(window, GA_ROOT);
  for (TForm* form : forms_) {
    if (form->Handle() && (form->Handle() == window || form->Handle() == root)) return form;
  }
  return nullptr;
}

void TApplication::Run(int showCommand) {
  if (mainForm_) ShowMainForm(showCommand);
  while (!terminated_) HandleMessage();
}

void TApplication::ShowMainForm(int showCommand) {
  ShowWindow(handle_, SW_SHOWNOACTIVATE);  // the taskbar button
  if (showCommand == SW_SHOWMINNOACTIVE) {
    Minimize();  // the main form stays unshown until the first restore
  } else if (showCommand == SW_SHOWMAXIMIZED) {
    mainForm_->Show(SW_SHOWMAXIMIZED);
  } else {
    mainForm_->Show();
  }
}

void TApplication::Terminate() {
  terminated_ = true;
  PostMessageW(handle_, WM_NULL, 0, 0);  // wakes a waiting loop
}

bool TApplication::ProcessMessage() {
  MSG msg;
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  bool handled = false;
  if (TForm* form = FindForm(msg.hwnd)) Guarded([&] { handled = form->DialogKey(msg); });
  if (!handled) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

void TApplication::HandleMessage() {
  if (!ProcessMessage()) {
    UpdateActions();
    if (!terminated_) WaitMessage();
  }
}

void TApplication::ProcessMessages() {
  while (ProcessMessage()) {
  }
}

void TApplication::UpdateActions() {
  const auto lists = actionLists_;  // an update handler may create or free lists
  for (TActionList* list : lists) {
    if (std::find(actionLists_.begin(), actionLists_.end(), list) == actionLists_.end()) continue;
    Guarded([&] { list->UpdateActions(); });
  }
}

bool TApplication::Minimized() const { return IsIconic(handle_) != 0; }

void TApplication::Minimize() {
  if (Minimized()) return;
  HWND active = GetActiveWindow();
  activeBeforeMinimize_ = FindForm(active) ? active : nullptr;
  hidden_.clear();
  for (TForm* form : forms_) {
    if (form->Handle() && form->Visible()) hidden_.push_back({form->Handle(), IsZoomed(form->Handle()) != 0});
  }
  SetActiveWindow(handle_);
  for (const auto& h : hidden_) ShowWindow(h.window, SW_HIDE);
  ShowWindow(handle_, SW_MINIMIZE);
  const auto events = events_;
  for (TApplicationEvents* e : events) {
    if (std::find(events_.begin(), events_.end(), e) != events_.end() && e->OnMinimize) e->OnMinimize(e);
  }
}

void TApplication::Restore() {
  if (!Minimized()) return;
  ShowWindow(handle_, SW_RESTORE);
  const auto hidden = std::move(hidden_);
  hidden_.clear();
  for (const auto& h : hidden) {
    if (IsWindow(h.window)) ShowWindow(h.window, h.zoomed ? SW_SHOWMAXIMIZED : SW_SHOW);
  }
  if (mainForm_ && !mainForm_->Visible()) mainForm_->Show();  // never shown yet
  HWND active = activeBeforeMinimize_;
  if (!active || !IsWindow(active) || !IsWindowVisible(active)) active = mainForm_ ? mainForm_->Handle() : nullptr;
  // A modal form keeps the others disabled: activate it rather than its owner.
  for (TForm* form : forms_) {
    if (form->Modal() && form->Visible()) active = form->Handle();
  }
  if (active) {
    SetForegroundWindow(active);
    SetActiveWindow(active);
  }
}

void TApplication::DoneApplication() {
  if (done_) return;
  done_ = true;
  DestroyComponents();
  for (auto it = exitProcs_.rbegin(); it != exitProcs_.rend(); ++it) Guarded(*it);
  exitProcs_.clear();
}

void TApplication::Halt() {
  halting_ = true;
  DoneApplication();
  if (HaltProc) HaltProc();
}

void TApplication::HandleException() {
  std::string message;
  try {
    throw;
  } catch (const Exception& e) {
    message = e.Message();
  } catch (const std::exception& e) {
    message = e.what();
  } catch (...) {
    message = "不明なエラーが発生しました";
  }
  ShowException(std::move(message));
}

void TApplication::ShowException(std::string message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
  if (OnException) {
    OnException(message);
    return;
  }
  if (halting_) return;
  HWND owner = GetActiveWindow();
  MessageBoxW(owner, WideFromCp932(message).c_str(), WideFromCp932(title_).c_str(), MB_OK | MB_ICONERROR);
}

LRESULT TApplication::WindowMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_MINIMIZE:
          Minimize();
          return 0;
        case SC_RESTORE:
          Restore();
          return 0;
        case SC_CLOSE:
          if (mainForm_) mainForm_->Close();
          return 0;
      }
      break;
    case WM_CLOSE:
      if (mainForm_) mainForm_->Close();
      return 0;
    case WM_SETFOCUS:
      if (mainForm_ && mainForm_->Visible() && IsWindowEnabled(mainForm_->Handle())) SetFocus(mainForm_->Handle());
      return 0;
    case WM_ENDSESSION:
      // The logon ends: the orderly halt must be complete before this returns,
      // since the system ends the process right after.
      if (wParam) Halt();
      return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace velquin
