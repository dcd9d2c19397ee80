#pragma once
// The main window of the copy of the program that runs already.
namespace velquin {

class RunningCopy {
 public:
  virtual ~RunningCopy() = default;
  // Asks it to come back from the tray, or to the front; false when there is no
  // such window (not yet, or no longer) or it did not (it is ending).
  virtual bool AskToShow() = 0;
};

}  // namespace velquin
