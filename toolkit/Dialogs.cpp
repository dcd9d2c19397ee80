#include "toolkit/Dialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "core/Exception.h"
#include "platform/SystemLibrary.h"
#include "text/CodePage932.h"
#include "toolkit/Controls.h"
#include "toolkit/Dpi.h"
#include "toolkit/LineBreak.h"

namespace velquin {
namespace {

// The message, drawn in the lines that the layout broke it into; the window text
// stays the message itself.
class TMessageText : public TControl {
 public:
  TMessageText(TForm* form, const TControlDesc& desc, std::string_view text, std::vector<std::string> lines,
               int lineHeight)
      : TControl(form, desc), lines_(std::move(lines)), lineHeight_(lineHeight) {
    CreateHandle(L"STATIC", SS_OWNERDRAW | SS_NOPREFIX, 0, text);
  }
  void DpiChanged(int oldDpi) override {
    TControl::DpiChanged(oldDpi);
    lineHeight_ = std::max(MulDiv(lineHeight_, Form()->Dpi(), oldDpi), 1);
  }
  bool DrawItem(const DRAWITEMSTRUCT& item) override {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ old = SelectObject(item.hDC, FormFont());
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
    for (size_t i = 0; i < lines_.size(); ++i) {
      const std::wstring line = WideFromCp932(lines_[i]);
      TextOutW(item.hDC, 0, static_cast<int>(i) * lineHeight_, line.data(), static_cast<int>(line.size()));
    }
    SelectObject(item.hDC, old);
    return true;
  }

 private:
  std::vector<std::string> lines_;
  int lineHeight_;
};

// The dialog type's system icon, at the size of the display it is on.
class TMessageIcon : public TImage {
 public:
  TMessageIcon(TForm* form, const TControlDesc& desc, const wchar_t* icon) : TImage(form, desc), icon_(icon) {
    Load();
  }
  void DpiChanged(int oldDpi) override {
    TImage::DpiChanged(oldDpi);
    Load();
  }

 private:
  void Load() {
    const HICON icon = LoadIconForDpi(nullptr, icon_, SM_CXICON, Form()->Dpi());
    Picture().SetIcon(icon);  // a copy
    PictureChanged();
    if (icon) DestroyIcon(icon);
  }
  const wchar_t* icon_;
};

// Laid out as the system's message box: the text at most a share of the work area
// wide, broken into lines, the dialog as high as the lines need but never beyond
// the work area, the buttons centred below, the whole centred in the work area.
class TMessageForm : public TForm {
 public:
  TMessageForm(TComponent* owner, std::string_view text, TMsgDlgType type, unsigned buttons)
      : TForm(owner, desc_), text_(text), type_(type), buttons_(buttons) {
    desc_ = TFormDesc{"MessageForm", type == TMsgDlgType::Confirmation ? "確認" : "エラー", 300, 100,
                      TBorderStyle::Dialog, TPosition::Designed, {}};
  }

 protected:
  void Loaded() override {
    static const TControlDesc kIcon{TControlKind::Image, "Image", "", 16, 16, 32, 32, akLeftTop, kNoTab};
    const auto* icon = type_ == TMsgDlgType::Confirmation ? IDI_QUESTION : IDI_ERROR;
    new TMessageIcon(this, kIcon, reinterpret_cast<LPCWSTR>(icon));

    struct Choice {
      unsigned flag;
      const char* name;
      const char* caption;
      int result;
    };
    static const Choice kChoices[] = {{mbYes, "Yes", "はい(&Y)", mrYes},
                                      {mbNo, "No", "いいえ(&N)", mrNo},
                                      {mbOK, "OK", "OK", mrOk}};
    std::vector<const Choice*> chosen;
    for (const Choice& c : kChoices) {
      if (buttons_ & c.flag) chosen.push_back(&c);
    }
    if (chosen.empty()) chosen.push_back(&kChoices[2]);
    // Designed lengths, scaled to the form's display; the text is measured.
    constexpr int kButtonWidth = 75, kButtonHeight = 25, kGap = 8;
    const int textLeft = Scale(64), margin = Scale(16), belowButtons = Scale(12);
    const int buttonHeight = Scale(kButtonHeight), iconHeight = Scale(32);
    const int buttonsWidth = static_cast<int>(chosen.size()) * Scale(kButtonWidth + kGap) - Scale(kGap);

    // The room: the work area less the frame, the dialog at most three quarters
    // of its width.
    RECT work{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
      work = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT window{}, client{};
    GetWindowRect(Handle(), &window);
    GetClientRect(Handle(), &client);
    const int frameX = (window.right - window.left) - client.right;
    const int frameY = (window.bottom - window.top) - client.bottom;
    const int workWidth = work.right - work.left, workHeight = work.bottom - work.top;
    const int maxClientWidth = std::max(workWidth * 3 / 4 - frameX, buttonsWidth + 2 * margin);
    const int maxClientHeight = workHeight - frameY;

    // The lines, measured in the form's font; the text is code page 932 whatever
    // the system's code page.
    HDC dc = GetDC(Handle());
    HGDIOBJ oldFont = SelectObject(dc, Font());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int lineHeight = std::max<int>(metrics.tmHeight, 1);
    const auto measure = [dc](std::string_view piece) {
      const std::wstring wide = WideFromCp932(piece);
      SIZE size{};
      GetTextExtentPoint32W(dc, wide.data(), static_cast<int>(wide.size()), &size);
      return static_cast<int>(size.cx);
    };
    const int maxTextWidth = std::max(maxClientWidth - textLeft - margin, 1);
    const int maxTextHeight = maxClientHeight - 2 * margin - buttonHeight - belowButtons;
    const size_t maxLines = static_cast<size_t>(std::max(maxTextHeight / lineHeight, 1));
    std::vector<std::string> lines;
    int textWidth = 0;
    for (std::string_view line : BreakLines(text_, maxTextWidth, maxLines, measure)) {
      textWidth = std::max(textWidth, std::min(measure(line), maxTextWidth));
      lines.emplace_back(line);
    }
    SelectObject(dc, oldFont);
    ReleaseDC(Handle(), dc);

    const int textHeight = static_cast<int>(lines.size()) * lineHeight;
    const int textTop = textHeight < iconHeight ? margin + (iconHeight - textHeight) / 2 : margin;
    // Its rectangle is in pixels already: set after creation, not scaled again.
    textDesc_ = TControlDesc{TControlKind::Label, "Message", "", 0, 0, 0, 0, akLeftTop, kNoTab};
    auto* message = new TMessageText(this, textDesc_, text_, std::move(lines), lineHeight);
    message->SetBounds(textLeft, textTop, textWidth, textHeight);

    const int width = std::min(std::max({textLeft + textWidth + margin, buttonsWidth + 2 * margin, Scale(200)}),
                               maxClientWidth);
    const int height = std::min(std::max(Scale(48), textTop + textHeight) + margin + buttonHeight + belowButtons,
                                maxClientHeight);
    const int row = height - belowButtons - buttonHeight;
    SetClientSize(width, height);
    int left = (width - buttonsWidth) / 2;
    std::vector<int> lefts;
    for (size_t i = 0; i < chosen.size(); ++i) {
      buttonDescs_.push_back(TControlDesc{TControlKind::Button, chosen[i]->name, chosen[i]->caption, 0, 0,
                                          kButtonWidth, kButtonHeight, akLeftTop, static_cast<int>(i)});
      lefts.push_back(left);
      left += Scale(kButtonWidth + kGap);
    }
    for (size_t i = 0; i < chosen.size(); ++i) {
      auto* button = new TButton(this, buttonDescs_[i]);
      button->SetBounds(lefts[i], row, button->Width(), button->Height());
      button->ModalResult = chosen[i]->result;
      button->Default = i == 0;
      button->Cancel = chosen[i]->flag == mbNo || chosen.size() == 1;
    }

    GetWindowRect(Handle(), &window);
    const int outerWidth = window.right - window.left, outerHeight = window.bottom - window.top;
    SetWindowPos(Handle(), nullptr, work.left + std::max((workWidth - outerWidth) / 2, 0),
                 work.top + std::max((workHeight - outerHeight) / 2, 0), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

 private:
  TFormDesc desc_;
  std::string text_;
  TMsgDlgType type_;
  unsigned buttons_;
  TControlDesc textDesc_{};
  std::vector<TControlDesc> buttonDescs_;
};

// The common dialog library is loaded on first use: linked at start it brings the
// printing libraries along and adds megabytes to the working set of a program
// that mostly waits in the tray.
using GetOpenFileNameProc = BOOL(WINAPI*)(LPOPENFILENAMEW);

GetOpenFileNameProc OpenFileDialogProc() {
  static GetOpenFileNameProc proc = [] {
    HMODULE module = LoadSystemLibrary("comdlg32.dll");
    return module ? reinterpret_cast<GetOpenFileNameProc>(
                        reinterpret_cast<void*>(GetProcAddress(module, "GetOpenFileNameW")))
                  : nullptr;
  }();
  return proc;
}

}  // namespace

int MessageDlg(std::string_view text, TMsgDlgType type, unsigned buttons) {
  auto* form = CreateForm<TMessageForm>(Application(), text, type, buttons);
  TReleaseOnExit release(form);  // not when the end of the logon freed it meanwhile
  return form->ShowModal();
}

TOpenDialog::TOpenDialog(TComponent* owner, std::string name) : TComponent(owner, std::move(name)) {}

std::function<BOOL(OPENFILENAMEW& ofn)> TOpenDialog::Show = [](OPENFILENAMEW& ofn) -> BOOL {
  const GetOpenFileNameProc getOpenFileName = OpenFileDialogProc();
  if (!getOpenFileName) throw Exception("ファイルを開くダイアログを表示できません");
  return getOpenFileName(&ofn);
};

bool TOpenDialog::Execute() {
  std::wstring filter = WideFromCp932(Filter);
  std::replace(filter.begin(), filter.end(), L'|', L'\0');
  filter.append(2, L'\0');
  const std::wstring title = WideFromCp932(Title);
  std::vector<wchar_t> file(32768, L'\0');  // no initial name: an earlier pick is not offered
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  TApplication* app = Application();
  TForm* owner = app ? app->FindForm(GetActiveWindow()) : nullptr;
  ofn.hwndOwner = owner ? owner->Handle() : nullptr;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER;
  if (!Show(ofn)) return false;
  // A name the program cannot keep is refused whole: a "?" in its place would
  // name another file, or none.
  std::optional<std::string> chosen = Cp932FromWide(file.data());
  if (!chosen) {
    throw Exception(kNotInShiftJisMessage);
  }
  FileName = std::move(*chosen);
  return true;
}

}  // namespace velquin
