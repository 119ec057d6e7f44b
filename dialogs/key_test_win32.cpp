#include "dialogs/key_test_win32.h"

#include "app/app_win32.h"
#include "app/text_win32.h"

namespace cfg {

namespace {

constexpr UINT_PTR kPollTimer = 1;

class KeyTestControls : public KeyTestView {
 public:
  explicit KeyTestControls(HWND dialog) : dialog_(dialog) {}

  void SetControlText(int id, std::string_view text) override {
    SetDlgItemTextCp932(dialog_, id, text);
  }
  void StartTimer() override { SetTimer(dialog_, kPollTimer, kTimerPeriodMs, nullptr); }
  void StopTimer() override { KillTimer(dialog_, kPollTimer); }
  void Finish(int result) override { EndDialog(dialog_, result); }

 private:
  HWND dialog_;
};

}  // namespace

// The close box is left to the dialog manager, which turns it into IDCANCEL.
INT_PTR CALLBACK KeyTestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  KeyTest& keyTest = TheProgram().keyTest;
  KeyTestControls view(dialog);
  switch (message) {
    case WM_INITDIALOG:
      keyTest.OnOpen(view);
      return TRUE;
    case WM_COMMAND:
      keyTest.OnCommand(view, LOWORD(wParam));
      return FALSE;
    case WM_TIMER:
      keyTest.OnTimer(view);
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace cfg
