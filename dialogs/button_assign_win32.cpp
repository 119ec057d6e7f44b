#include "dialogs/button_assign_win32.h"

#include "dialogs/button_assign.h"
#include "dialogs/dialog_model_win32.h"
#include "dialogs/polling_dialog_win32.h"

namespace cfg {

static_assert(kEnSetFocus == EN_SETFOCUS && kEnKillFocus == EN_KILLFOCUS);

namespace {

class ButtonAssignControls : public PollingDialogControls<ButtonAssignView> {
 public:
  using PollingDialogControls::PollingDialogControls;

  // The platform then sends EN_KILLFOCUS and EN_SETFOCUS, which keep the
  // focused field up to date.
  void FocusControl(int id) override { SetFocus(GetDlgItem(dialog(), id)); }
};

}  // namespace

INT_PTR CALLBACK ButtonAssignDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  ButtonAssign* const model = DialogModel<ButtonAssign>(dialog, message, lParam);
  if (model == nullptr) return FALSE;
  ButtonAssign& buttonAssign = *model;
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
