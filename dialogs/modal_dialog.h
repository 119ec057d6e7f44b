// What every modal sub-dialog shares: its polling period, its results, and
// what it needs of the dialog on screen.
#pragma once

#include <string_view>

namespace cfg {

constexpr int kTimerPeriodMs = 100;  // timer 1 of both sub-dialogs
constexpr int kDialogConfirmed = 1;
constexpr int kDialogCancelled = -1;  // cancel, Escape or the close box

class PollingDialogView {
 public:
  virtual ~PollingDialogView() = default;
  // Sets a control's text; an id that names no control shows nothing.
  virtual void SetControlText(int id, std::string_view text) = 0;
  // Timer 1, every kTimerPeriodMs; each tick calls the dialog's OnTimer.
  virtual void StartTimer() = 0;
  virtual void StopTimer() = 0;
  virtual void Finish(int result) = 0;
};

}  // namespace cfg
