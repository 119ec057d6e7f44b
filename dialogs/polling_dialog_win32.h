// The Win32 side of a polling sub-dialog's view: texts, timer 1 and the end.
#pragma once

#include <windows.h>

#include <string_view>

#include "dialogs/dialog_text_win32.h"
#include "dialogs/modal_dialog.h"

namespace cfg {

template <class View>
class PollingDialogControls : public View {
 public:
  explicit PollingDialogControls(HWND dialog) : dialog_(dialog) {}

  void SetControlText(int id, std::string_view text) override {
    SetDlgItemTextCp932(dialog_, id, text);
  }
  void StartTimer() override { SetTimer(dialog_, kPollTimer, kTimerPeriodMs, nullptr); }
  void StopTimer() override { KillTimer(dialog_, kPollTimer); }
  void Finish(int result) override { EndDialog(dialog_, result); }

 protected:
  HWND dialog() const { return dialog_; }

 private:
  static constexpr UINT_PTR kPollTimer = 1;
  HWND dialog_;
};

}  // namespace cfg
