#include "dialogs/button_assign_win32.h"

#include "app/app_win32.h"
#include "app/text_win32.h"

namespace cfg {

namespace {

constexpr UINT_PTR kPollTimer = 1;

class ButtonAssignControls : public ButtonAssignView {
 public:
  explicit ButtonAssignControls(HWND dialog) : dialog_(dialog) {}

  void SetControlText(int id, std::string_view text) override {
    SetDlgItemTextCp932(dialog_, id, text);
  }
  // The platform then sends EN_KILLFOCUS and EN_SETFOCUS, which keep the
  // focused field up to date.
  void FocusControl(int id) override { SetFocus(GetDlgItem(dialog_, id)); }
  void StartTimer() override { SetTimer(dialog_, kPollTimer, kTimerPeriodMs, nullptr); }
  void StopTimer() override { KillTimer(dialog_, kPollTimer); }
  void Finish(int result) override { EndDialog(dialog_, result); }

 private:
  HWND dialog_;
};

}  // namespace

INT_PTR CALLBACK ButtonAssignDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  ButtonAssign& buttonAssign = TheProgram().buttonAssign;
  ButtonAssignControls view(dialog);
  switch (message) {
    case WM_INITDIALOG:
      buttonAssign.OnOpen(view);
      return TRUE;
    case WM_COMMAND:
      buttonAssign.OnCommand(view, LOWORD(wParam), HIWORD(wParam));
      return FALSE;
    case WM_CLOSE:
      buttonAssign.OnClose(view);
      return FALSE;
    case WM_TIMER:
      buttonAssign.OnTimer(view);
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace cfg
