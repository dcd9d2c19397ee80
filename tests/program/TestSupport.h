#pragma once
// Helpers of the window tests: pumping messages, answering modal dialogs from a
// thread timer, and reading what they showed.
#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace velquin::test {

// Runs the application's message loop (its idle step included) for `ms` milliseconds.
void Pump(int ms);
// Runs it until `done` holds or `timeoutMs` has passed; returns `done()`. Without
// an application, handles the thread's messages.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);

std::string WindowText(HWND window);
// The width of an icon's image; 0 for none.
int IconSide(HICON icon);
// The top-level window of the class and caption (nullptr: any caption).
HWND FindTopWindow(const char* className, const char* caption);
// The texts of the window's direct children of `className`, joined by "|".
std::string ChildTexts(HWND window, const char* className);
HWND FindChild(HWND parent, const char* className, const char* text);
// Clicks (posts a click to) the button captioned `caption` inside `dialog`.
bool ClickButton(HWND dialog, const char* caption);

// What is wrong with the layout of a dialog: outside the work area, a button
// outside the dialog's client area, the buttons not centred. Empty when nothing.
std::string LayoutFault(HWND dialog);

// A dialog that appeared while an answer was waiting for it.
struct SeenDialog {
  std::string className;
  std::string caption;
  std::string text;  // the texts of its labels, joined by "|"
};

// Answers modal dialogs in order. Each answer waits for a visible, enabled
// top-level window of the class and caption, then runs its action on it. A
// message dialog that nobody expected, or an expected one that never becomes
// active, is closed after a while and recorded, so a test never hangs on it.
class DialogAnswerer {
 public:
  DialogAnswerer();
  ~DialogAnswerer();
  void Expect(std::string className, std::string caption, std::function<void(HWND)> action);
  // Shorthands for the message dialog.
  void Answer(const char* caption, const char* button);  // clicks `button`
  void AnswerWithKey(const char* caption, WPARAM key);   // posts a key to the focus
  size_t Pending() const { return expected_.size(); }
  const std::vector<SeenDialog>& Seen() const { return seen_; }
  const std::vector<SeenDialog>& Unexpected() const { return unexpected_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  void Poll();
  struct Expected {
    std::string className, caption;
    std::function<void(HWND)> action;
  };
  std::deque<Expected> expected_;
  std::vector<SeenDialog> seen_, unexpected_;
  HWND strayWindow_ = nullptr, waitingWindow_ = nullptr;
  DWORD straySince_ = 0, waitingSince_ = 0;
  UINT_PTR timer_ = 0;
  bool busy_ = false;
};

}  // namespace velquin::test
