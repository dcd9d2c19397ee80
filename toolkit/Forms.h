#pragma once
// The application object, forms and the control base of the toolkit: a thin layer
// over raw Win32. Texts are code page 932 bytes; windows are Unicode and every text
// crosses through WindowText and text/CodePage932. Designed lengths are at 96 DPI and go through the
// form's Scale. One user-interface thread, no locks.
#include <windows.h>

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/WindowTarget.h"

namespace velquin {

class TForm;
class TControl;
class TButton;
class TPopupMenu;
class TAction;
class TActionList;
class TApplicationEvents;

enum TModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

// A window message as a form sees it; handlers set Result.
struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result;
};
using TMessageHandler = std::function<void(TMessage& Message)>;
using TCloseQueryEvent = std::function<void(TComponent* Sender, bool& CanClose)>;

// Posted to a form by Release: the form frees itself when it arrives.
inline constexpr UINT CM_RELEASE = WM_APP + 0x100;

// ---------------------------------------------------------------------------------
// Layout described as data, one row per control, as a form's design tables read.

enum class TControlKind { Label, ListBox, CheckBox, Button, ButtonEdit, Memo, Image };
enum TAnchorKind : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
inline constexpr unsigned akLeftTop = akLeft | akTop;
inline constexpr unsigned akAll = akLeft | akTop | akRight | akBottom;
inline constexpr int kAutoSize = -1;  // width or height taken from the caption or font
inline constexpr int kNoTab = -1;     // not in the tab order

enum TControlOption : unsigned {
  optDefault = 1,       // button pressed by Enter
  optCancel = 2,        // button pressed by Esc
  optModalCancel = 4,   // button closes its modal form with the result Cancel
  optDisabled = 8,
  optNoTabStop = 16,
  optBold = 32,         // label in the bold form font
  optNoPrefix = 64,     // label shows "&" as it is
};

struct TControlDesc {
  TControlKind kind;
  const char* name;
  const char* caption;
  int left, top, width, height;
  unsigned anchors;
  int tabOrder;
  unsigned options = 0;
  const char* action = nullptr;  // name of the bound action, if any
};

enum class TBorderStyle { Sizeable, Dialog };
enum class TPosition { Designed, ScreenCenter };

struct TFormDesc {
  const char* name;  // the window class is "T" followed by it
  const char* caption;
  int clientWidth, clientHeight;
  TBorderStyle border;
  TPosition position;
  std::span<const TControlDesc> controls;
};

// ---------------------------------------------------------------------------------

class TApplication : public TComponent, private TWindowTarget {
 public:
  // Creates the application's own window, which carries the taskbar button and
  // owns the main form; the new object becomes Application().
  TApplication();
  ~TApplication() override;

  HWND Handle() const { return handle_; }
  const std::string& Title() const { return title_; }
  void SetTitle(std::string title);
  HICON Icon() const { return icon_; }
  TForm* MainForm() const { return mainForm_; }
  bool Terminated() const { return terminated_; }

  // Creates a form owned by the application; the first one is the main form.
  template <class F, class... Args>
  F* CreateForm(Args&&... args);

  // Shows the main form for `showCommand` (SW_SHOWMAXIMIZED maximised,
  // SW_SHOWMINNOACTIVE not at all but minimised to the application, otherwise
  // normal) and runs the message loop until Terminate.
  void Run(int showCommand = SW_SHOWNORMAL);
  // The first step of Run: shows the main form for `showCommand`.
  void ShowMainForm(int showCommand);
  void Terminate();
  // One message, or, with none waiting, the idle step and a wait for the next.
  void HandleMessage();
  // Handles every message already waiting; no idle step.
  void ProcessMessages();
  // Refreshes every action of every action list (the idle step).
  void UpdateActions();

  bool Minimized() const;
  void Minimize();
  void Restore();

  // The exit procedure: frees every form the application still owns, then runs
  // the exit steps added, newest first. Runs once.
  void DoneApplication();
  void AddExitProc(std::function<void()> proc) { exitProcs_.push_back(std::move(proc)); }
  // At the end of the logon: the exit procedure, then HaltProc (ends the process).
  void Halt();
  std::function<void()> HaltProc;
  bool Halting() const { return halting_; }

  // The default error report; call from inside a catch block.
  void HandleException();
  // Shows `message` in a box captioned with the title, with an error icon and OK;
  // "." is appended when the last byte sorts after ".". While the logon ends
  // nothing is shown, so that the end is never held up.
  void ShowException(std::string message);
  // Replaces the box when set (tests).
  std::function<void(const std::string& message)> OnException;

  // Bookkeeping of the toolkit's own objects.
  void AddForm(TForm* form) { forms_.push_back(form); }
  void RemoveForm(TForm* form);
  TForm* FindForm(HWND window) const;  // the form of `window` or of its root
  const std::vector<TForm*>& Forms() const { return forms_; }
  void AddActionList(TActionList* list) { actionLists_.push_back(list); }
  void RemoveActionList(TActionList* list);
  void AddEvents(TApplicationEvents* events) { events_.push_back(events); }
  void RemoveEvents(TApplicationEvents* events);

 private:
  LRESULT WindowMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) override;
  void WindowGone() override { handle_ = nullptr; }
  bool ProcessMessage();
  void SetMainForm(TForm* form) {
    if (!mainForm_) mainForm_ = form;
  }

  HWND handle_ = nullptr;
  std::string title_;
  HICON icon_ = nullptr, smallIcon_ = nullptr;
  TForm* mainForm_ = nullptr;
  bool terminated_ = false;
  bool done_ = false;
  bool halting_ = false;
  std::vector<TForm*> forms_;
  std::vector<TActionList*> actionLists_;
  std::vector<TApplicationEvents*> events_;
  std::vector<std::function<void()>> exitProcs_;
  // What Minimize hid, so that Restore shows it again.
  struct HiddenForm {
    HWND window;
    bool zoomed;
  };
  std::vector<HiddenForm> hidden_;
  HWND activeBeforeMinimize_ = nullptr;
  TApplication* previous_ = nullptr;
};

// The application object in force.
TApplication* Application();

// Runs `action` and reports any exception it lets out with the default report.
void Guarded(const std::function<void()>& action);

// ---------------------------------------------------------------------------------

class TControl : public TComponent, public TWindowTarget {
 public:
  ~TControl() override;
  HWND Handle() const { return hwnd_; }
  TForm* Form() const { return form_; }

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetBounds(int left, int top, int width, int height);
  void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
  void SetTop(int top) { SetBounds(left_, top, width_, height_); }
  unsigned Anchors() const { return anchors_; }

  virtual std::string Caption() const;
  virtual void SetCaption(std::string_view caption);
  bool Enabled() const;
  virtual void SetEnabled(bool enabled);
  bool Visible() const;
  void SetVisible(bool visible);
  int TabOrder() const { return tabOrder_; }
  bool TabStop() const { return tabStop_; }
  bool CanFocus() const;
  void SetFocus();
  bool Focused() const;

  TPopupMenu* PopupMenu = nullptr;
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;

  // The access key of the caption ("&X"), upper case; 0 when there is none.
  char Mnemonic() const;
  // The access key was pressed.
  virtual void AcceleratorPressed() {}
  virtual void Click();

  // Toolkit internals: notifications and drawing that Windows sends to the form.
  virtual void Notify(WORD /*code*/) {}
  virtual bool DrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
  void ParentResized(int clientWidth, int clientHeight);
  // The form moved to a monitor of another DPI: every length, the font and what
  // depends on them follow, from `oldDpi` to the form's new one.
  virtual void DpiChanged(int oldDpi);
  static TControl* FromHandle(HWND window);

 protected:
  TControl(TForm* form, const TControlDesc& desc);
  // Creates the window inside the form and takes its messages.
  void CreateHandle(const wchar_t* className, DWORD style, DWORD exStyle, std::string_view text);
  // Every message of the control's window; the default passes it to the class.
  virtual LRESULT ControlWndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT CallDefault(UINT msg, WPARAM wParam, LPARAM lParam);
  void BeforeDestruction() override;
  HFONT FormFont() const;
  int Scale(int designed) const;
  SIZE TextSize(std::string_view text, HFONT font, UINT format) const;

  int left_, top_, width_, height_;
  HWND hwnd_ = nullptr;

 private:
  LRESULT WindowMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) override;
  void WindowGone() override { hwnd_ = nullptr; }
  void StoreMargins();
  TForm* form_;
  unsigned anchors_;
  int tabOrder_;
  bool tabStop_;
  int rightMargin_ = 0, bottomMargin_ = 0;
};

// ---------------------------------------------------------------------------------

class TForm : public TComponent, private TWindowTarget {
 public:
  TForm(TComponent* owner, const TFormDesc& desc);
  ~TForm() override;

  // Second step of construction, once the derived object exists: the window, the
  // non-visual components, the controls of the layout, Loaded, then OnCreate
  // (whose exceptions are reported, the form is created all the same).
  void CreateWnd();

  HWND Handle() const { return hwnd_; }
  std::string Caption() const;
  void SetCaption(std::string_view caption);
  int ClientWidth() const;
  int ClientHeight() const;
  void SetClientSize(int width, int height);
  TPosition Position() const { return position_; }
  HFONT Font() const { return font_; }
  // The DPI the form is laid out for, and a designed length (at 96 DPI) at it.
  int Dpi() const { return dpi_; }
  int Scale(int designed) const;
  int Unscale(int pixels) const;
  bool Visible() const;
  bool Modal() const { return modal_; }

  void Show(int showCommand = SW_SHOWNORMAL);
  void Hide();
  void CenterOnScreen();
  // Asks the form to close: the close query, then for the main form the end of
  // the application, for a modal form the result Cancel, otherwise hiding.
  void Close();
  bool CloseQuery();
  // Shows the form modally; returns its modal result when it closes.
  int ShowModal();
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result) { modalResult_ = result; }
  // Frees the form once the current message handler has returned.
  void Release();

  const std::vector<TControl*>& Controls() const { return controls_; }
  TControl* FindControl(HWND window) const;
  // The control of the layout named `name`, of kind T; throws when there is none.
  template <class T>
  T* Control(std::string_view name) const;
  void FocusFirstControl();
  void SelectNext(bool backward);
  // Tab, Enter, Esc and Alt access keys for the form's controls.
  bool DialogKey(const MSG& msg);

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TCloseQueryEvent OnCloseQuery;

  // Message handlers: a handler replaces the standard handling of its message
  // (it may call DefaultHandling itself).
  void SetMessageHandler(UINT msg, TMessageHandler handler);
  // The window procedure: sees every message first. The default dispatches.
  virtual void WndProc(TMessage& Message);
  // The message handlers, otherwise the form's standard handling.
  void Dispatch(TMessage& Message);
  void DefaultHandling(TMessage& Message);

  // Internal: the control being registered in the layout.
  void AddControl(TControl* control) { controls_.push_back(control); }

 protected:
  // Creates the non-visual components (actions, menus, timers) the controls need.
  virtual void CreateComponents() {}
  // Binds fields and events once the layout exists.
  virtual void Loaded() {}
  void BeforeDestruction() override;

 private:
  LRESULT WindowMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) override;
  void WindowGone() override { hwnd_ = nullptr; }
  void CreateControl(const TControlDesc& desc);
  void ApplyDpi(int dpi, const RECT* suggested);
  TButton* FindButton(bool defaultButton) const;
  void RestoreFocus();
  HWND OwnerWindow() const;

  const TFormDesc& desc_;
  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr;
  int dpi_ = 96;
  TPosition position_;
  bool created_ = false;
  bool modal_ = false;
  bool shownOnce_ = false;
  int modalResult_ = mrNone;
  HWND focus_ = nullptr;
  SIZE lastClient_{};  // the client size outside the minimised state
  std::vector<TControl*> controls_;
  std::vector<std::pair<UINT, TMessageHandler>> handlers_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  friend class TReleaseOnExit;
};

// Releases a form when the scope that shows it ends, on every way out; not when
// something else has freed it meanwhile (the end of the logon frees every form
// while a modal one is still up).
class TReleaseOnExit {
 public:
  explicit TReleaseOnExit(TForm* form) : form_(form), alive_(form->alive_) {}
  ~TReleaseOnExit() {
    if (*alive_) form_->Release();
  }
  TReleaseOnExit(const TReleaseOnExit&) = delete;
  TReleaseOnExit& operator=(const TReleaseOnExit&) = delete;

 private:
  TForm* form_;
  std::shared_ptr<bool> alive_;
};

template <class F, class... Args>
F* CreateForm(TComponent* owner, Args&&... args) {
  auto* form = new F(owner, std::forward<Args>(args)...);
  try {
    form->CreateWnd();
  } catch (...) {
    TComponent::Free(form);
    throw;
  }
  return form;
}

template <class F, class... Args>
F* TApplication::CreateForm(Args&&... args) {
  F* form = velquin::CreateForm<F>(this, std::forward<Args>(args)...);
  SetMainForm(form);
  return form;
}

[[noreturn]] void ThrowMissingControl(std::string_view name);

template <class T>
T* TForm::Control(std::string_view name) const {
  T* control = FindOwned<T>(*this, name);
  if (!control) ThrowMissingControl(name);
  return control;
}

// A form font: "ＭＳ Ｐゴシック", 12 designed pixels at `dpi`, Shift_JIS character set.
HFONT CreateFormFont(bool bold, int dpi);

}  // namespace velquin
