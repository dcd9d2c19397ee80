#include "toolkit/Dialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "core/Exception.h"
#include "platform/SystemLibrary.h"
#include "library/CodePage.h"
#include "toolkit/Controls.h"
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
    CreateHandle("STATIC", SS_OWNERDRAW | SS_NOPREFIX, 0, text);
  }
  bool DrawItem(const DRAWITEMSTRUCT& item) override {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ old = SelectObject(item.hDC, FormFont());
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
    for (size_t i = 0; i < lines_.size(); ++i) {
      TextOutA(item.hDC, 0, static_cast<int>(i) * lineHeight_, lines_[i].data(), static_cast<int>(lines_[i].size()));
    }
    SelectObject(item.hDC, old);
    return true;
  }

 private:
  std::vector<std::string> lines_;
  int lineHeight_;
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
    auto* image = new TImage(this, kIcon);
    image->Picture().SetIcon(LoadIconA(nullptr, type_ == TMsgDlgType::Confirmation ? IDI_QUESTION : IDI_ERROR));

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
    constexpr int kButtonWidth = 75, kButtonHeight = 25, kGap = 8, kTextLeft = 64, kMargin = 16;
    constexpr int kBelowButtons = 12;
    const int buttonsWidth = static_cast<int>(chosen.size()) * (kButtonWidth + kGap) - kGap;

    // The room: the work area less the frame, the dialog at most three quarters
    // of its width.
    RECT work{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
      work = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT window{}, client{};
    GetWindowRect(Handle(), &window);
    GetClientRect(Handle(), &client);
    const int frameX = (window.right - window.left) - client.right;
    const int frameY = (window.bottom - window.top) - client.bottom;
    const int workWidth = work.right - work.left, workHeight = work.bottom - work.top;
    const int maxClientWidth = std::max(workWidth * 3 / 4 - frameX, buttonsWidth + 2 * kMargin);
    const int maxClientHeight = workHeight - frameY;

    // The lines, measured in the form's font.
    HDC dc = GetDC(Handle());
    HGDIOBJ oldFont = SelectObject(dc, Font());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    const int lineHeight = std::max<int>(metrics.tmHeight, 1);
    const auto measure = [dc](std::string_view piece) {
      SIZE size{};
      GetTextExtentPoint32A(dc, piece.data(), static_cast<int>(piece.size()), &size);
      return static_cast<int>(size.cx);
    };
    const int maxTextWidth = std::max(maxClientWidth - kTextLeft - kMargin, 1);
    const int maxTextHeight = maxClientHeight - 2 * kMargin - kButtonHeight - kBelowButtons;
    const size_t maxLines = static_cast<size_t>(std::max(maxTextHeight / lineHeight, 1));
    std::vector<std::string> lines;
    int textWidth = 0;
    for (std::string_view line : BreakLines(text_, maxTextWidth, maxLines, measure, ActiveCodePage())) {
      textWidth = std::max(textWidth, std::min(measure(line), maxTextWidth));
      lines.emplace_back(line);
    }
    SelectObject(dc, oldFont);
    ReleaseDC(Handle(), dc);

    const int textHeight = static_cast<int>(lines.size()) * lineHeight;
    const int textTop = textHeight < 32 ? kMargin + (32 - textHeight) / 2 : kMargin;
    textDesc_ = TControlDesc{TControlKind::Label, "Message", "", kTextLeft, textTop, textWidth, textHeight,
                             akLeftTop, kNoTab};
    new TMessageText(this, textDesc_, text_, std::move(lines), lineHeight);

    const int row = std::max(48, textTop + textHeight) + kMargin;
    const int width = std::min(std::max({kTextLeft + textWidth + kMargin, buttonsWidth + 2 * kMargin, 200}),
                               maxClientWidth);
    const int height = std::min(row + kButtonHeight + kBelowButtons, maxClientHeight);
    SetClientSize(width, height);
    int left = (width - buttonsWidth) / 2;
    for (size_t i = 0; i < chosen.size(); ++i) {
      buttonDescs_.push_back(TControlDesc{TControlKind::Button, chosen[i]->name, chosen[i]->caption, left,
                                          height - kBelowButtons - kButtonHeight, kButtonWidth, kButtonHeight,
                                          akLeftTop, static_cast<int>(i)});
      left += kButtonWidth + kGap;
    }
    for (size_t i = 0; i < chosen.size(); ++i) {
      auto* button = new TButton(this, buttonDescs_[i]);
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
using GetOpenFileNameProc = BOOL(WINAPI*)(LPOPENFILENAMEA);

GetOpenFileNameProc OpenFileDialogProc() {
  static GetOpenFileNameProc proc = [] {
    HMODULE module = LoadSystemLibrary("comdlg32.dll");
    return module ? reinterpret_cast<GetOpenFileNameProc>(
                        reinterpret_cast<void*>(GetProcAddress(module, "GetOpenFileNameA")))
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

bool TOpenDialog::Execute() {
  std::string filter = Filter;
  std::replace(filter.begin(), filter.end(), '|', '\0');
  filter.append(2, '\0');
  std::vector<char> file(32768, '\0');  // no initial name: an earlier pick is not offered
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  TApplication* app = Application();
  TForm* owner = app ? app->FindForm(GetActiveWindow()) : nullptr;
  ofn.hwndOwner = owner ? owner->Handle() : nullptr;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
  ofn.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER;
  const GetOpenFileNameProc getOpenFileName = OpenFileDialogProc();
  if (!getOpenFileName) throw Exception("ファイルを開くダイアログを表示できません");
  if (!getOpenFileName(&ofn)) return false;
  FileName = file.data();
  return true;
}

}  // namespace velquin
