#include "dialogs/button_assign_win32.h"

#include "dialogs/button_assign.h"
#include "dialogs/dialog_model_win32.h"
#include "dialogs/polling_dialog_win32.h"
#include "res/resource_ids.h"

namespace cfg {

namespace {

class ButtonAssignControls : public PollingDialogControls<ButtonAssignView> {
 public:
  using PollingDialogControls::PollingDialogControls;

  // The platform then sends EN_KILLFOCUS and EN_SETFOCUS, which keep the
  // focused field up to date.
  void FocusControl(int id) override { SetFocus(GetDlgItem(dialog(), id)); }
};

// A field's focus notifications and the buttons, in the dialog's words.
void OnCommand(ButtonAssign& buttonAssign, ButtonAssignView& view, int id, int notification) {
  switch (id) {
    case IDC_ASSIGN_OK:
    case IDC_ASSIGN_CONFIRM:
      return buttonAssign.OnConfirmed(view);
    case IDC_ASSIGN_CANCEL:
      return buttonAssign.OnCancelled(view);
    default:
      break;
  }
  const int position = FieldPosition(id);
  if (position == kNoField) return;
  if (notification == EN_SETFOCUS) buttonAssign.OnFieldFocused(position);
  if (notification == EN_KILLFOCUS) buttonAssign.OnFieldLeft();
}

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
      OnCommand(buttonAssign, view, LOWORD(wParam), HIWORD(wParam));
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
