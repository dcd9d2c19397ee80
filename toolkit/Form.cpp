// The form: its window, the controls of its layout, modal showing, the keyboard
// interface, the form font and DPI changes.
#include <windowsx.h>

#include <algorithm>
#include <cctype>

#include "core/Exception.h"
#include "toolkit/Actions.h"
#include "toolkit/Controls.h"
#include "toolkit/Dpi.h"
#include "toolkit/Forms.h"
#include "toolkit/WindowText.h"

namespace velquin {
namespace {

struct TaskWindows {
  HWND except, app;
  std::vector<HWND> list;
};

BOOL CALLBACK CollectTaskWindow(HWND window, LPARAM param) {
  auto* data = reinterpret_cast<TaskWindows*>(param);
  if (window != data->except && window != data->app && IsWindowVisible(window) && IsWindowEnabled(window))
    data->list.push_back(window);
  return TRUE;
}

// Disables the visible, enabled top-level windows of this thread, but for `except`
// and the application's own window (which must keep its taskbar button working).
std::vector<HWND> DisableTaskWindows(HWND except) {
  TaskWindows data{except, Application() ? Application()->Handle() : nullptr, {}};
  EnumThreadWindows(GetCurrentThreadId(), CollectTaskWindow, reinterpret_cast<LPARAM>(&data));
  for (HWND w : data.list) EnableWindow(w, FALSE);
  return data.list;
}

}  // namespace

HFONT CreateFormFont(bool bold, int dpi) {
  LOGFONTW font{};
  font.lfHeight = -ScaleForDpi(12, dpi);
  font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const std::wstring face = WideFromCp932("ＭＳ Ｐゴシック");
  face.copy(font.lfFaceName, LF_FACESIZE - 1);
  return CreateFontIndirectW(&font);
}

void ThrowMissingControl(std::string_view name) {
  throw Exception("コントロール " + std::string(name) + " がありません");
}

TForm::TForm(TComponent* owner, const TFormDesc& desc) : TComponent(owner), desc_(desc) {
  if (Application()) Application()->AddForm(this);
}

TForm::~TForm() {
  *alive_ = false;
  controls_.clear();
  if (hwnd_) DestroyWindow(hwnd_);
  DestroyComponents();
  if (font_) DeleteObject(font_);
  if (Application()) Application()->RemoveForm(this);
}

HWND TForm::OwnerWindow() const {
  if (auto* form = dynamic_cast<TForm*>(Owner()); form && form->Handle()) return form->Handle();
  TApplication* app = Application();
  if (!app) return nullptr;
  if (TForm* active = app->FindForm(GetActiveWindow()); active && active != this) return active->Handle();
  if (app->MainForm() && app->MainForm() != this && app->MainForm()->Visible()) return app->MainForm()->Handle();
  return app->Handle();
}

void TForm::CreateWnd() {
  SetName(desc_.name);
  position_ = desc_.position;
  const std::wstring className = WideFromCp932(std::string("T") + desc_.name);
  WNDCLASSW wc{};
  if (!GetClassInfoW(ModuleInstance(), className.c_str(), &wc)) {
    wc = WNDCLASSW{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WindowTrampoline;
    wc.hInstance = ModuleInstance();
    wc.hIcon = Application() ? Application()->Icon() : nullptr;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className.c_str();
    if (!RegisterClassW(&wc)) throw Exception("ウィンドウ クラスを登録できません");
  }
  DWORD style, exStyle;
  if (desc_.border == TBorderStyle::Sizeable) {
    style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    exStyle = 0;
  } else {
    style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN;
    exStyle = WS_EX_DLGMODALFRAME;
  }
  dpi_ = SystemDpi();
  RECT r{0, 0, Scale(desc_.clientWidth), Scale(desc_.clientHeight)};
  AdjustWindowRectForDpi(r, style, exStyle, dpi_);
  if (!CreateWindowExW(exStyle, className.c_str(), WideFromCp932(desc_.caption).c_str(), style, 0, 0,
                       r.right - r.left, r.bottom - r.top, OwnerWindow(), nullptr, ModuleInstance(),
                       static_cast<TWindowTarget*>(this)))
    throw Exception("ウィンドウを作成できません");
  dpi_ = WindowDpi(hwnd_);  // the monitor the window landed on decides
  font_ = CreateFormFont(false, dpi_);
  SetClientSize(Scale(desc_.clientWidth), Scale(desc_.clientHeight));
  CreateComponents();
  for (const TControlDesc& control : desc_.controls) CreateControl(control);
  Loaded();
  created_ = true;
  if (OnCreate) Guarded([this] { OnCreate(this); });
}

void TForm::CreateControl(const TControlDesc& desc) {
  TControl* control = nullptr;
  switch (desc.kind) {
    case TControlKind::Label:
      control = new TLabel(this, desc);
      break;
    case TControlKind::ListBox:
      control = new TListBox(this, desc);
      break;
    case TControlKind::CheckBox:
      control = new TCheckBox(this, desc);
      break;
    case TControlKind::Button:
      control = new TButton(this, desc);
      break;
    case TControlKind::ButtonEdit:
      control = new TButtonEdit(this, desc);
      break;
    case TControlKind::Memo:
      control = new TMemo(this, desc);
      break;
    case TControlKind::Image:
      control = new TImage(this, desc);
      break;
  }
  if (desc.options & optDisabled) control->SetEnabled(false);
  if (desc.action) {
    auto* button = dynamic_cast<TButton*>(control);
    auto* action = FindOwned<TAction>(*this, desc.action);
    if (!button || !action) ThrowMissingControl(desc.action);
    button->SetAction(action);
  }
}

void TForm::BeforeDestruction() {
  if (hwnd_) {
    ShowWindow(hwnd_, SW_HIDE);
    if (created_ && OnDestroy) Guarded([this] { OnDestroy(this); });
  }
  *alive_ = false;
  controls_.clear();
  DestroyComponents();
  if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT TForm::WindowMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!hwnd_) hwnd_ = window;  // the messages of the creation
  TMessage message{msg, wParam, lParam, 0};
  WndProc(message);
  return message.Result;
}

int TForm::Scale(int designed) const { return ScaleForDpi(designed, dpi_); }

int TForm::Unscale(int pixels) const { return UnscaleForDpi(pixels, dpi_); }

void TForm::ApplyDpi(int dpi, const RECT* suggested) {
  if (dpi <= 0 || dpi == dpi_) return;
  const int oldDpi = dpi_;
  dpi_ = dpi;
  HFONT oldFont = font_;
  font_ = CreateFormFont(false, dpi_);
  for (TControl* control : controls_) control->DpiChanged(oldDpi);
  if (oldFont) DeleteObject(oldFont);
  if (suggested) {
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void TForm::WndProc(TMessage& Message) { Dispatch(Message); }

void TForm::SetMessageHandler(UINT msg, TMessageHandler handler) {
  for (auto& entry : handlers_) {
    if (entry.first == msg) {
      entry.second = std::move(handler);
      return;
    }
  }
  handlers_.emplace_back(msg, std::move(handler));
}

void TForm::Dispatch(TMessage& Message) {
  for (auto& [msg, handler] : handlers_) {
    if (msg == Message.Msg && handler) {
      handler(Message);
      return;
    }
  }
  switch (Message.Msg) {
    case WM_CLOSE:
      Close();
      return;
    case WM_QUERYENDSESSION:
      Message.Result = CloseQuery() ? 1 : 0;
      return;
    case WM_SYSCOMMAND:
      if ((Message.WParam & 0xFFF0) == SC_MINIMIZE && Application() && Application()->MainForm() == this) {
        Application()->Minimize();
        return;
      }
      break;
    case WM_COMMAND:
      if (TControl* control = TControl::FromHandle(reinterpret_cast<HWND>(Message.LParam))) {
        control->Notify(HIWORD(Message.WParam));
        return;
      }
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
      if (TControl* control = TControl::FromHandle(item->hwndItem); control && control->DrawItem(*item)) {
        Message.Result = TRUE;
        return;
      }
      break;
    }
    case WM_CONTEXTMENU: {
      TControl* control = FindControl(reinterpret_cast<HWND>(Message.WParam));
      if (control && control->PopupMenu) {
        POINT pt{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        if (Message.LParam == -1) {  // from the keyboard
          pt = POINT{0, 0};
          ClientToScreen(control->Handle(), &pt);
        }
        control->PopupMenu->Popup(pt.x, pt.y);
        return;
      }
      break;
    }
    case WM_SIZE:
      if (Message.WParam != SIZE_MINIMIZED) {
        lastClient_ = SIZE{LOWORD(Message.LParam), HIWORD(Message.LParam)};
        for (TControl* control : controls_) control->ParentResized(LOWORD(Message.LParam), HIWORD(Message.LParam));
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(Message.WParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) focus_ = focus;
      }
      break;
    case WM_SETFOCUS:
      RestoreFocus();
      return;
    case WM_DPICHANGED:
      ApplyDpi(HIWORD(Message.WParam), reinterpret_cast<const RECT*>(Message.LParam));
      Message.Result = 0;
      return;
    case CM_RELEASE:
      Free(this);  // nothing may touch the form after this
      return;
  }
  DefaultHandling(Message);
}

void TForm::DefaultHandling(TMessage& Message) {
  Message.Result = hwnd_ ? DefWindowProcW(hwnd_, Message.Msg, Message.WParam, Message.LParam) : 0;
}

std::string TForm::Caption() const { return hwnd_ ? WindowTextCp932(hwnd_) : std::string(); }

void TForm::SetCaption(std::string_view caption) { SetWindowTextCp932(hwnd_, caption); }

int TForm::ClientWidth() const {
  RECT r{};
  GetClientRect(hwnd_, &r);
  return IsIconic(hwnd_) ? lastClient_.cx : r.right;
}

int TForm::ClientHeight() const {
  RECT r{};
  GetClientRect(hwnd_, &r);
  return IsIconic(hwnd_) ? lastClient_.cy : r.bottom;
}

void TForm::SetClientSize(int width, int height) {
  RECT window{}, client{};
  GetWindowRect(hwnd_, &window);
  GetClientRect(hwnd_, &client);
  // The frame as the window has it now, whatever the metrics say.
  const int frameX = (window.right - window.left) - client.right;
  const int frameY = (window.bottom - window.top) - client.bottom;
  SetWindowPos(hwnd_, nullptr, 0, 0, width + frameX, height + frameY, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  GetClientRect(hwnd_, &client);
  lastClient_ = SIZE{client.right, client.bottom};
}

bool TForm::Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

void TForm::CenterOnScreen() {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::Show(int showCommand) {
  if (OnShow) Guarded([this] { OnShow(this); });
  if (!shownOnce_) {
    shownOnce_ = true;
    if (position_ == TPosition::ScreenCenter) CenterOnScreen();
  }
  ShowWindow(hwnd_, showCommand);
  SetForegroundWindow(hwnd_);
}

void TForm::Hide() { ShowWindow(hwnd_, SW_HIDE); }

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  if (Application() && Application()->MainForm() == this)
    Application()->Terminate();
  else
    Hide();
}

int TForm::ShowModal() {
  if (modal_ || Visible()) throw Exception("表示中のウィンドウはモーダルにできません");
  if (GetCapture()) ReleaseCapture();
  TApplication* app = Application();
  HWND previous = GetActiveWindow();
  modal_ = true;
  modalResult_ = mrNone;
  const auto alive = alive_;
  const std::vector<HWND> disabled = DisableTaskWindows(hwnd_);
  Show();
  while (*alive && modalResult_ == mrNone) {
    app->HandleMessage();
    if (*alive && app->Terminated()) modalResult_ = mrCancel;
  }
  for (HWND w : disabled) {
    if (IsWindow(w)) EnableWindow(w, TRUE);
  }
  if (!*alive) return mrCancel;
  modal_ = false;
  Hide();
  if (previous && IsWindow(previous) && IsWindowVisible(previous)) SetActiveWindow(previous);
  return modalResult_;
}

void TForm::Release() {
  if (hwnd_)
    PostMessageW(hwnd_, CM_RELEASE, 0, 0);
  else
    Free(this);
}

TControl* TForm::FindControl(HWND window) const {
  while (window && window != hwnd_) {
    if (TControl* control = TControl::FromHandle(window); control && control->Form() == this) return control;
    window = GetParent(window);
  }
  return nullptr;
}

namespace {
std::vector<TControl*> TabList(const std::vector<TControl*>& controls) {
  std::vector<TControl*> list;
  for (TControl* c : controls) {
    if (c->TabStop() && c->CanFocus()) list.push_back(c);
  }
  std::stable_sort(list.begin(), list.end(), [](TControl* a, TControl* b) { return a->TabOrder() < b->TabOrder(); });
  return list;
}
}  // namespace

void TForm::FocusFirstControl() {
  const auto list = TabList(controls_);
  if (!list.empty()) list.front()->SetFocus();
}

void TForm::RestoreFocus() {
  if (focus_ && IsWindow(focus_) && IsChild(hwnd_, focus_) && IsWindowVisible(focus_) && IsWindowEnabled(focus_)) {
    ::SetFocus(focus_);
    return;
  }
  FocusFirstControl();
}

void TForm::SelectNext(bool backward) {
  const auto list = TabList(controls_);
  if (list.empty()) return;
  TControl* current = FindControl(GetFocus());
  auto it = std::find(list.begin(), list.end(), current);
  size_t index;
  if (it == list.end())
    index = backward ? list.size() - 1 : 0;
  else if (backward)
    index = (static_cast<size_t>(it - list.begin()) + list.size() - 1) % list.size();
  else
    index = (static_cast<size_t>(it - list.begin()) + 1) % list.size();
  list[index]->SetFocus();
}

TButton* TForm::FindButton(bool defaultButton) const {
  for (TControl* c : controls_) {
    auto* button = dynamic_cast<TButton*>(c);
    if (button && (defaultButton ? button->Default : button->Cancel) && button->CanFocus()) return button;
  }
  return nullptr;
}

bool TForm::DialogKey(const MSG& msg) {
  if (msg.message == WM_KEYDOWN) {
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
    switch (msg.wParam) {
      case VK_TAB:
        SelectNext(GetKeyState(VK_SHIFT) < 0);
        return true;
      case VK_RETURN: {
        if (auto* focused = dynamic_cast<TButton*>(FindControl(msg.hwnd)); focused && focused->Handle() == msg.hwnd) {
          if (focused->CanFocus()) focused->Click();
          return true;
        }
        if (TButton* button = FindButton(true)) {
          button->Click();
          return true;
        }
        return false;
      }
      case VK_ESCAPE:
        if (TButton* button = FindButton(false)) {
          button->Click();
          return true;
        }
        return false;
    }
    return false;
  }
  if (msg.message == WM_SYSCHAR) {
    // Access keys are ASCII letters and digits; the message carries UTF-16.
    if (msg.wParam >= 0x80) return false;
    const char key = static_cast<char>(std::toupper(static_cast<unsigned char>(msg.wParam)));
    for (TControl* c : controls_) {
      if (c->Visible() && c->Mnemonic() == key) {
        c->AcceleratorPressed();
        return true;
      }
    }
  }
  return false;
}

}  // namespace velquin
