// The control base: the child window, its subclassing, bounds, anchors and DPI.
#include <algorithm>
#include <cctype>

#include "core/Exception.h"
#include "toolkit/Forms.h"
#include "toolkit/WindowText.h"

namespace velquin {

TControl::TControl(TForm* form, const TControlDesc& desc)
    : TComponent(form, desc.name),
      left_(form->Scale(desc.left)),
      top_(form->Scale(desc.top)),
      width_(desc.width == kAutoSize ? kAutoSize : form->Scale(desc.width)),
      height_(desc.height == kAutoSize ? kAutoSize : form->Scale(desc.height)),
      form_(form),
      anchors_(desc.anchors),
      tabOrder_(desc.tabOrder),
      tabStop_(desc.tabOrder != kNoTab && !(desc.options & optNoTabStop)) {
  form->AddControl(this);
}

TControl::~TControl() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void TControl::BeforeDestruction() {
  if (hwnd_) DestroyWindow(hwnd_);  // the subclass procedure clears hwnd_
}

void TControl::CreateHandle(const wchar_t* className, DWORD style, DWORD exStyle, std::string_view text) {
  static int nextId = 100;
  hwnd_ = CreateWindowExW(exStyle, className, WideFromCp932(text).c_str(),
                          style | WS_CHILD | WS_VISIBLE | (tabStop_ ? WS_TABSTOP : 0), left_, top_,
                          std::max(width_, 0), std::max(height_, 0), form_->Handle(),
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId++ & 0x7FFF)), ModuleInstance(), nullptr);
  if (!hwnd_) throw Exception("コントロール " + Name() + " を作成できません");
  AttachWindow(hwnd_, true);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(FormFont()), FALSE);
  StoreMargins();
}

TControl* TControl::FromHandle(HWND window) {
  return dynamic_cast<TControl*>(TWindowTarget::Of(window));
}

LRESULT TControl::WindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
  return ControlWndProc(msg, wParam, lParam);
}

LRESULT TControl::ControlWndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  return CallDefault(msg, wParam, lParam);
}

LRESULT TControl::CallDefault(UINT msg, WPARAM wParam, LPARAM lParam) {
  return CallClassProc(hwnd_, msg, wParam, lParam);
}

HFONT TControl::FormFont() const { return form_->Font(); }

int TControl::Scale(int designed) const { return form_->Scale(designed); }

SIZE TControl::TextSize(std::string_view text, HFONT font, UINT format) const {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  RECT r{0, 0, 0, 0};
  if (text.empty()) {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    r.bottom = tm.tmHeight;
  } else {
    const std::wstring wide = WideFromCp932(text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, DT_CALCRECT | format);
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

void TControl::SetBounds(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (hwnd_) MoveWindow(hwnd_, left_, top_, width_, height_, TRUE);
  StoreMargins();
}

void TControl::StoreMargins() {
  rightMargin_ = form_->ClientWidth() - (left_ + width_);
  bottomMargin_ = form_->ClientHeight() - (top_ + height_);
}

void TControl::DpiChanged(int oldDpi) {
  const int dpi = form_->Dpi();
  auto rescale = [&](int value) { return MulDiv(value, dpi, oldDpi); };
  left_ = rescale(left_);
  top_ = rescale(top_);
  width_ = rescale(width_);
  height_ = rescale(height_);
  rightMargin_ = rescale(rightMargin_);
  bottomMargin_ = rescale(bottomMargin_);
  if (!hwnd_) return;
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(FormFont()), FALSE);
  MoveWindow(hwnd_, left_, top_, width_, height_, TRUE);
}

void TControl::ParentResized(int clientWidth, int clientHeight) {
  int left = left_, top = top_, width = width_, height = height_;
  if (anchors_ & akRight) {
    if (anchors_ & akLeft)
      width = std::max(0, clientWidth - left_ - rightMargin_);
    else
      left = clientWidth - width_ - rightMargin_;
  }
  if (anchors_ & akBottom) {
    if (anchors_ & akTop)
      height = std::max(0, clientHeight - top_ - bottomMargin_);
    else
      top = clientHeight - height_ - bottomMargin_;
  }
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (hwnd_) MoveWindow(hwnd_, left_, top_, width_, height_, TRUE);
}

std::string TControl::Caption() const { return hwnd_ ? WindowTextCp932(hwnd_) : std::string(); }

void TControl::SetCaption(std::string_view caption) {
  if (hwnd_) SetWindowTextCp932(hwnd_, caption);
}

bool TControl::Enabled() const { return hwnd_ && IsWindowEnabled(hwnd_); }

void TControl::SetEnabled(bool enabled) {
  if (!hwnd_ || Enabled() == enabled) return;
  const bool hadFocus = !enabled && Focused();
  EnableWindow(hwnd_, enabled);
  if (hadFocus) form_->SelectNext(false);
}

bool TControl::Visible() const { return hwnd_ && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE); }

void TControl::SetVisible(bool visible) {
  if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}

bool TControl::CanFocus() const { return hwnd_ && IsWindowVisible(hwnd_) && IsWindowEnabled(hwnd_); }

void TControl::SetFocus() {
  if (hwnd_) ::SetFocus(hwnd_);
}

bool TControl::Focused() const {
  HWND focus = GetFocus();
  return hwnd_ && focus && (focus == hwnd_ || IsChild(hwnd_, focus));
}

char TControl::Mnemonic() const {
  const std::string caption = Caption();
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
  }
  return 0;
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

}  // namespace velquin
