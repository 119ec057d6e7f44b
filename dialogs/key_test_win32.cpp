#include "dialogs/key_test_win32.h"

#include "dialogs/dialog_model_win32.h"
#include "dialogs/key_test.h"
#include "dialogs/polling_dialog_win32.h"

namespace cfg {

// The close box is left to the dialog manager, which turns it into IDCANCEL.
INT_PTR CALLBACK KeyTestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  KeyTest* const model = DialogModel<KeyTest>(dialog, message, lParam);
  if (model == nullptr) return FALSE;
  KeyTest& keyTest = *model;
  PollingDialogControls<KeyTestView> view(dialog);
  switch (message) {
    case WM_INITDIALOG:
      keyTest.OnOpen(view);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) keyTest.OnCancelled(view);
      return FALSE;
    case WM_TIMER:
      keyTest.OnTimer(view);
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace cfg
