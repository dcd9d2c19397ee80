#include "toolkit/Controls.h"

#include <algorithm>

#include "core/Exception.h"
#include "toolkit/Actions.h"
#include "toolkit/WindowText.h"

namespace velquin {
namespace {

int FontHeight(HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight;
}

[[noreturn]] void ThrowIndex(int index) {
  throw Exception("リストのインデックスが範囲を超えています (" + std::to_string(index) + ")");
}

}  // namespace

// --- TLabel ------------------------------------------------------------------------

TLabel::TLabel(TForm* form, const TControlDesc& desc)
    : TControl(form, desc),
      autoWidth_(desc.width == kAutoSize),
      autoHeight_(desc.height == kAutoSize),
      noPrefix_((desc.options & optNoPrefix) != 0) {
  width_ = std::max(width_, 0);
  height_ = std::max(height_, 0);
  CreateHandle(L"STATIC", SS_LEFT | SS_NOTIFY | (noPrefix_ ? SS_NOPREFIX : 0), 0, desc.caption ? desc.caption : "");
  if (desc.options & optBold)
    SetBold(true);
  else
    AutoSize();
}

TLabel::~TLabel() {
  if (hwnd_) DestroyWindow(hwnd_);
  if (boldFont_) DeleteObject(boldFont_);
}

void TLabel::SetCaption(std::string_view caption) {
  TControl::SetCaption(caption);
  AutoSize();
}

void TLabel::SetBold(bool bold) {
  if (bold == Bold()) return;
  HFONT old = boldFont_;
  boldFont_ = bold ? CreateFormFont(true, Form()->Dpi()) : nullptr;
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(bold ? boldFont_ : FormFont()), TRUE);
  if (old) DeleteObject(old);
  AutoSize();
}

void TLabel::DpiChanged(int oldDpi) {
  TControl::DpiChanged(oldDpi);
  if (boldFont_) {
    SetBold(false);
    SetBold(true);
  } else {
    AutoSize();
  }
}

void TLabel::AutoSize() {
  if (!autoWidth_ && !autoHeight_) return;
  const SIZE size = TextSize(Caption(), boldFont_ ? boldFont_ : FormFont(), DT_LEFT | DT_NOCLIP | (noPrefix_ ? DT_NOPREFIX : 0));
  SetBounds(left_, top_, autoWidth_ ? size.cx : width_, autoHeight_ ? size.cy : height_);
}

// --- TListBox -----------------------------------------------------------------------

TListBox::TListBox(TForm* form, const TControlDesc& desc) : TControl(form, desc) {
  CreateHandle(L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL, WS_EX_CLIENTEDGE, "");
  SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, Scale(kItemHeight));
}

void TListBox::DpiChanged(int oldDpi) {
  TControl::DpiChanged(oldDpi);
  SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, Scale(kItemHeight));
  SendMessageW(hwnd_, LB_SETHORIZONTALEXTENT, Scale(scrollWidth_), 0);
}

int TListBox::Count() const {
  if (updates_) return static_cast<int>(pending_.size());
  return static_cast<int>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0));
}

void TListBox::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) ThrowIndex(index);
}

std::string TListBox::Item(int index) const {
  CheckIndex(index);
  if (updates_) return pending_[static_cast<size_t>(index)];
  const LRESULT length = SendMessageW(hwnd_, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) ThrowIndex(index);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT got = SendMessageW(hwnd_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
  return Cp932FromWideLossy(text);
}

int TListBox::Append(std::string_view line) {
  if (updates_) {
    pending_.emplace_back(line);
    linesChanged_ = true;
    return Count() - 1;
  }
  const std::wstring text = WideFromCp932(line);
  const LRESULT index = SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (index < 0) throw Exception("リストに行を追加できません");
  return static_cast<int>(index);
}

void TListBox::Replace(int index, std::string_view line) {
  CheckIndex(index);
  if (updates_) {
    pending_[static_cast<size_t>(index)] = line;
    linesChanged_ = true;
    return;
  }
  const int selected = ItemIndex();
  const std::wstring text = WideFromCp932(line);
  SendMessageW(hwnd_, LB_DELETESTRING, index, 0);
  if (SendMessageW(hwnd_, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str())) < 0)
    throw Exception("リストに行を追加できません");
  SetItemIndex(selected);
}

void TListBox::Delete(int index) {
  CheckIndex(index);
  if (updates_) {
    pending_.erase(pending_.begin() + index);
    linesChanged_ = true;
  } else {
    SendMessageW(hwnd_, LB_DELETESTRING, index, 0);
  }
}

// In designed pixels: the window gets them scaled.
int TListBox::ScrollWidth() const { return updates_ ? pendingWidth_ : scrollWidth_; }

void TListBox::SetScrollWidth(int width) {
  if (updates_) {
    pendingWidth_ = std::max(width, 0);
    return;
  }
  scrollWidth_ = std::max(width, 0);
  SendMessageW(hwnd_, LB_SETHORIZONTALEXTENT, Scale(scrollWidth_), 0);
}

void TListBox::BeginUpdate() {
  if (updates_ > 0) {
    ++updates_;
    return;
  }
  std::vector<std::string> lines;
  for (int i = 0; i < Count(); ++i) lines.push_back(Item(i));
  pendingWidth_ = ScrollWidth();
  pending_ = std::move(lines);
  linesChanged_ = false;
  updates_ = 1;
}

void TListBox::EndUpdate() {
  if (updates_ == 0 || --updates_ > 0) return;
  Flush();
}

// Hands the window the lines of the update: the window's own procedure takes them
// (this control adds nothing to these messages), with redrawing and the scroll bars
// held until the last one.
void TListBox::Flush() {
  std::vector<std::string> lines = std::move(pending_);
  pending_.clear();
  if (!linesChanged_ && pendingWidth_ == ScrollWidth()) return;
  struct Redraw {
    HWND window;
    ~Redraw() {
      SendMessageW(window, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(window, nullptr, TRUE);
    }
  };
  SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
  const Redraw redraw{hwnd_};
  if (linesChanged_) {
    const int selected = ItemIndex();
    if (Count() > 0) CallDefault(LB_RESETCONTENT, 0, 0);
    std::vector<std::wstring> wide;
    wide.reserve(lines.size());
    size_t bytes = 0;
    for (const std::string& line : lines) {
      wide.push_back(WideFromCp932(line));
      bytes += (wide.back().size() + 1) * sizeof(wchar_t);
    }
    CallDefault(LB_INITSTORAGE, lines.size(), static_cast<LPARAM>(bytes));
    for (const std::wstring& line : wide) {
      if (CallDefault(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str())) < 0)
        throw Exception("リストに行を追加できません");
    }
    if (selected >= 0 && selected < Count()) SetItemIndex(selected);
  }
  if (pendingWidth_ != ScrollWidth()) SetScrollWidth(pendingWidth_);
}

int TListBox::ItemIndex() const { return static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0)); }

void TListBox::SetItemIndex(int index) { SendMessageW(hwnd_, LB_SETCURSEL, index, 0); }

LRESULT TListBox::ControlWndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CallDefault(msg, wParam, lParam);
  if (msg == WM_LBUTTONDBLCLK && OnDblClick) OnDblClick(this);
  return result;
}

// --- TButton ------------------------------------------------------------------------

TButton::TButton(TForm* form, const TControlDesc& desc) : TControl(form, desc) {
  CreateHandle(L"BUTTON", BS_OWNERDRAW, 0, desc.caption ? desc.caption : "");
  Default = (desc.options & optDefault) != 0;
  Cancel = (desc.options & optCancel) != 0;
  if (desc.options & optModalCancel) ModalResult = mrCancel;
}

TButton::~TButton() { SetAction(nullptr); }

void TButton::SetAction(TAction* action) {
  if (action_ == action) return;
  if (action_) action_->RemoveClient(this);
  action_ = action;
  if (action_) {
    action_->AddClient(this);
    ActionChanged();
  }
}

void TButton::ActionChanged() {
  if (!action_) return;
  if (Caption() != action_->Caption()) SetCaption(action_->Caption());
  SetEnabled(action_->Enabled());
}

void TButton::SetCaption(std::string_view caption) {
  TControl::SetCaption(caption);
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TButton::SetEnabled(bool enabled) {
  TControl::SetEnabled(enabled);
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TButton::Click() {
  if (ModalResult != mrNone) Form()->SetModalResult(ModalResult);
  if (action_)
    action_->Execute();
  else
    TControl::Click();
}

void TButton::AcceleratorPressed() {
  // A bound action decides for itself, after refreshing its state.
  if (action_ || Enabled()) Click();
}

void TButton::Notify(WORD code) {
  if (code == BN_CLICKED) Click();
}

bool TButton::DrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const bool pushed = item.itemState & ODS_SELECTED;
  const bool focused = item.itemState & ODS_FOCUS;
  const bool disabled = item.itemState & ODS_DISABLED;
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  if (focused || (Default && !dynamic_cast<TButton*>(Form()->FindControl(GetFocus())))) {
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&r, -1, -1);
  }
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  const std::wstring caption = WideWindowText(hwnd_);
  RECT text = r;
  if (pushed) OffsetRect(&text, 1, 1);
  HGDIOBJ old = SelectObject(dc, FormFont());
  SetBkMode(dc, TRANSPARENT);
  if (disabled) {
    // Embossed like the system's disabled captions.
    OffsetRect(&text, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextW(dc, caption.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    OffsetRect(&text, -1, -1);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  } else {
    SetTextColor(dc, kCaptionColor);
  }
  DrawTextW(dc, caption.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, old);
  if (focused) {
    InflateRect(&r, -3, -3);
    DrawFocusRect(dc, &r);
  }
  return true;
}

// --- TCheckBox ----------------------------------------------------------------------

TCheckBox::TCheckBox(TForm* form, const TControlDesc& desc) : TControl(form, desc) {
  if (height_ == kAutoSize) height_ = FontHeight(form->Font()) + Scale(5);
  CreateHandle(L"BUTTON", BS_AUTOCHECKBOX, 0, desc.caption ? desc.caption : "");
}

bool TCheckBox::Checked() const { return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TCheckBox::SetChecked(bool checked) {
  SendMessageW(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::AcceleratorPressed() {
  if (!CanFocus()) return;
  SetFocus();
  SetChecked(!Checked());
  Click();
}

void TCheckBox::Notify(WORD code) {
  if (code == BN_CLICKED) Click();
}

// --- TButtonEdit --------------------------------------------------------------------

TButtonEdit::TButtonEdit(TForm* form, const TControlDesc& desc) : TControl(form, desc) {
  if (height_ == kAutoSize) {
    const int font = FontHeight(form->Font());
    height_ = font + font / 4 + Scale(4);
  }
  CreateHandle(L"EDIT", ES_AUTOHSCROLL | WS_CLIPCHILDREN, WS_EX_CLIENTEDGE, desc.caption ? desc.caption : "");
  SendMessageW(hwnd_, EM_SETLIMITTEXT, 0, 0);  // no limit
  button_ = CreateWindowExW(0, L"BUTTON", L"...", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 0, 0, hwnd_,
                            reinterpret_cast<HMENU>(1), GetModuleHandleW(nullptr), nullptr);
  if (!button_) throw Exception("コントロール " + Name() + " を作成できません");
  SendMessageW(button_, WM_SETFONT, reinterpret_cast<WPARAM>(FormFont()), FALSE);
  PlaceButton();
  lastText_ = Caption();
}

void TButtonEdit::PlaceButton() {
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int width = std::min<int>(client.bottom + Scale(4), client.right);
  MoveWindow(button_, client.right - width, 0, width, client.bottom, TRUE);
  SendMessageW(hwnd_, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, width + Scale(1)));
}

void TButtonEdit::DpiChanged(int oldDpi) {
  TControl::DpiChanged(oldDpi);
  SendMessageW(button_, WM_SETFONT, reinterpret_cast<WPARAM>(FormFont()), FALSE);
  PlaceButton();
}

std::optional<std::string> TButtonEdit::ExactText() const {
  return hwnd_ ? Cp932FromWide(WideWindowText(hwnd_)) : std::string();
}

void TButtonEdit::SetText(std::string_view text) {
  if (text == Caption()) return;
  settingText_ = true;
  SetCaption(text);
  settingText_ = false;
  TextChanged();
}

void TButtonEdit::Notify(WORD code) {
  if (code == EN_CHANGE && !settingText_) TextChanged();
}

void TButtonEdit::TextChanged() {
  std::string text = Caption();
  if (text == lastText_) return;
  lastText_ = std::move(text);
  if (OnChange) OnChange(this);
}

LRESULT TButtonEdit::ControlWndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COMMAND && reinterpret_cast<HWND>(lParam) == button_ && HIWORD(wParam) == BN_CLICKED) {
    if (OnButtonClick) OnButtonClick(this, 0);
    return 0;
  }
  const LRESULT result = CallDefault(msg, wParam, lParam);
  if (msg == WM_SIZE && button_) PlaceButton();
  return result;
}

// --- TMemo --------------------------------------------------------------------------

TMemo::TMemo(TForm* form, const TControlDesc& desc) : TControl(form, desc) {
  CreateHandle(L"EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL, WS_EX_CLIENTEDGE,
               desc.caption ? desc.caption : "");
  SendMessageW(hwnd_, EM_SETLIMITTEXT, 0, 0);
}

void TMemo::AddLine(std::string_view line) {
  std::string text = Text();
  if (!text.empty() && text.back() != '\n') text += "\r\n";
  text += line;
  SetText(text);
}

// --- TPicture, TImage ---------------------------------------------------------------

TPicture::~TPicture() {
  if (icon_) DestroyIcon(icon_);
}

void TPicture::SetIcon(HICON icon) {
  HICON copy = icon ? CopyIcon(icon) : nullptr;
  if (icon_) DestroyIcon(icon_);
  icon_ = copy;
}

TImage::TImage(TForm* form, const TControlDesc& desc) : TControl(form, desc) {
  CreateHandle(L"STATIC", SS_OWNERDRAW, 0, "");
}

void TImage::PictureChanged() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

bool TImage::DrawItem(const DRAWITEMSTRUCT& item) {
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  if (HICON icon = picture_.Icon()) {
    int w = GetSystemMetrics(SM_CXICON), h = GetSystemMetrics(SM_CYICON);
    ICONINFO info{};
    if (GetIconInfo(icon, &info)) {
      BITMAP bm{};
      if (info.hbmColor && GetObjectW(info.hbmColor, sizeof bm, &bm)) {
        w = bm.bmWidth;
        h = bm.bmHeight;
      }
      if (info.hbmColor) DeleteObject(info.hbmColor);
      if (info.hbmMask) DeleteObject(info.hbmMask);
    }
    const RECT& r = item.rcItem;
    DrawIconEx(item.hDC, r.left + (r.right - r.left - w) / 2, r.top + (r.bottom - r.top - h) / 2, icon, w, h, 0,
               nullptr, DI_NORMAL);
  }
  return true;
}

}  // namespace velquin
