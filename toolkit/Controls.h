#pragma once
// The toolkit's controls: label, list box, push button, check box, edit field with
// an ellipsis button, read-only memo and image.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ports/TaskList.h"
#include "toolkit/Forms.h"

namespace velquin {

class TAction;

// A single or multi-line caption, sized to its text unless the layout fixes a size.
class TLabel : public TControl {
 public:
  TLabel(TForm* form, const TControlDesc& desc);
  ~TLabel() override;
  void SetCaption(std::string_view caption) override;
  void SetBold(bool bold);
  bool Bold() const { return boldFont_ != nullptr; }
  void DpiChanged(int oldDpi) override;

 private:
  void AutoSize();
  bool autoWidth_, autoHeight_, noPrefix_;
  HFONT boldFont_ = nullptr;
};

// A list of text lines, single selection, unsorted, 12-pixel items. It is a
// TaskList, so that the list box can be the only copy of a list. During an update
// the lines and the scroll width are kept here and the window gets them at its end,
// in one pass: every message to the window costs, and a loaded list would take
// several per line. The scroll width is kept in designed pixels and scaled like
// every other length.
class TListBox : public TControl, public TaskList {
 public:
  TListBox(TForm* form, const TControlDesc& desc);

  int Count() const override;
  std::string Item(int index) const override;
  int Append(std::string_view line) override;
  // Keeps the selected index where it was.
  void Replace(int index, std::string_view line) override;
  void Delete(int index) override;
  int ScrollWidth() const override;
  void SetScrollWidth(int width) override;
  void BeginUpdate() override;
  void EndUpdate() override;

  int ItemIndex() const;
  void SetItemIndex(int index);
  void DpiChanged(int oldDpi) override;

  static constexpr int kItemHeight = 12;

 protected:
  LRESULT ControlWndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void CheckIndex(int index) const;
  void Flush();
  int scrollWidth_ = 0;
  int updates_ = 0;
  std::vector<std::string> pending_;  // the lines during an update
  int pendingWidth_ = 0;
  bool linesChanged_ = false;
};

// A push button whose caption is drawn in blue. Bound to an action it takes the
// action's caption and enabled state and runs the action when pressed.
class TButton : public TControl {
 public:
  TButton(TForm* form, const TControlDesc& desc);
  ~TButton() override;

  bool Default = false;  // Enter presses it
  bool Cancel = false;   // Esc presses it
  int ModalResult = mrNone;

  TAction* Action() const { return action_; }
  void SetAction(TAction* action);
  void ActionChanged();  // the action's caption or state changed

  void SetCaption(std::string_view caption) override;
  void SetEnabled(bool enabled) override;
  void Click() override;
  void AcceleratorPressed() override;
  void Notify(WORD code) override;
  bool DrawItem(const DRAWITEMSTRUCT& item) override;

  static constexpr COLORREF kCaptionColor = RGB(0, 0, 255);

 private:
  TAction* action_ = nullptr;
};

class TCheckBox : public TControl {
 public:
  TCheckBox(TForm* form, const TControlDesc& desc);
  bool Checked() const;
  void SetChecked(bool checked);
  void AcceleratorPressed() override;
  void Notify(WORD code) override;
};

// An edit field with one ellipsis button ("...") at its right end. OnChange runs
// after every change of the text that leaves it different, whoever made it.
class TButtonEdit : public TControl {
 public:
  TButtonEdit(TForm* form, const TControlDesc& desc);
  std::string Text() const { return Caption(); }
  // The text as typed; nothing when code page 932 cannot hold it.
  std::optional<std::string> ExactText() const;
  void SetText(std::string_view text);
  HWND ButtonHandle() const { return button_; }
  void DpiChanged(int oldDpi) override;

  TNotifyEvent OnChange;
  std::function<void(TComponent* Sender, int AButtonIndex)> OnButtonClick;

  void Notify(WORD code) override;

 protected:
  LRESULT ControlWndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void TextChanged();
  void PlaceButton();
  HWND button_ = nullptr;
  std::string lastText_;
  bool settingText_ = false;
};

// A read-only multi-line text with a vertical scroll bar.
class TMemo : public TControl {
 public:
  TMemo(TForm* form, const TControlDesc& desc);
  std::string Text() const { return Caption(); }
  void SetText(std::string_view text) { SetCaption(text); }
  // Adds `line` as a new last line (line breaks inside it show as more lines).
  void AddLine(std::string_view line);
};

// Empty, or one icon (a copy that the picture owns).
class TPicture {
 public:
  TPicture() = default;
  ~TPicture();
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;
  bool Empty() const { return icon_ == nullptr; }
  HICON Icon() const { return icon_; }
  void SetIcon(HICON icon);  // copies; nullptr empties
  void Assign(const TPicture& other) { SetIcon(other.icon_); }

 private:
  HICON icon_ = nullptr;
};

// An image box showing its picture centred.
class TImage : public TControl {
 public:
  TImage(TForm* form, const TControlDesc& desc);
  TPicture& Picture() { return picture_; }
  void PictureChanged();
  bool DrawItem(const DRAWITEMSTRUCT& item) override;

 private:
  TPicture picture_;
};

}  // namespace velquin
