#include "app/main_dialog_win32.h"

#include "app/main_dialog.h"
#include "dialogs/button_assign_win32.h"
#include "dialogs/dialog_model_win32.h"
#include "dialogs/dialog_text_win32.h"
#include "dialogs/key_test_win32.h"
#include "res/resource_ids.h"
#include "settings/text_codec_win32.h"

namespace cfg {

namespace {

// The main dialog's controls. The dialog (MainDialogWindow) owns the
// sub-dialogs and the confirmation box.
class MainDialogControls : public MainDialogView {
 public:
  MainDialogControls(HWND dialog, Language language) : dialog_(dialog), language_(language) {}

  void ClearSlotList() override { SendSlotList(CB_RESETCONTENT, 0, 0); }

  void AddSlotListEntry(const std::string& text) override {
    const std::wstring entry = WideFromCp932(text);
    SendSlotList(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  }

  void SelectSlotListEntry(int index) override {
    SendSlotList(CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }

  int SelectedSlotListEntry() const override {
    const LRESULT index = SendSlotList(CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
  }

  void SetCheck(int id, bool checked) override {
    SendDlgItemMessageW(dialog_, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }

  bool IsChecked(int id) const override {
    return SendDlgItemMessageW(dialog_, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
  }

  void EnableControl(int id, bool enabled) override {
    EnableWindow(GetDlgItem(dialog_, id), enabled);
  }

  bool AskOkCancel(const std::string& question, const std::string& caption) override {
    return MessageBoxCp932(dialog_, question, caption, MB_OKCANCEL) == IDOK;
  }

  int RunButtonAssignDialog(ButtonAssign& model) override {
    return RunModelDialog(dialog_, IDD_BUTTON_ASSIGN, language_, ButtonAssignDialogProc, model);
  }

  int RunKeyTestDialog(KeyTest& model) override {
    return RunModelDialog(dialog_, IDD_KEY_TEST, language_, KeyTestDialogProc, model);
  }

  void Finish(int result) override { EndDialog(dialog_, result); }

 private:
  LRESULT SendSlotList(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendDlgItemMessageW(dialog_, IDC_SLOT_LIST, message, wParam, lParam);
  }

  HWND dialog_;
  Language language_;  // of the sub-dialogs' templates
};

// The buttons, the 640x480 box and a choice in the slot list, in the dialog's words.
void OnCommand(MainDialog& mainDialog, MainDialogView& view, int id, int notification) {
  switch (id) {
    case IDC_CONFIRM:
      return mainDialog.OnConfirmed(view);
    case IDC_CANCEL:
      return mainDialog.OnCancelled(view);
    case IDC_SCORE_RESET:
      return mainDialog.OnScoreReset(view);
    case IDC_SLOT_LIST:
      if (notification == CBN_SELCHANGE) mainDialog.OnSlotChosen(view);
      return;
    case IDC_KEY_CONFIG:
      return mainDialog.OnButtonAssign(view);
    case IDC_KEY_TEST:
      return mainDialog.OnKeyTest(view);
    case IDC_START_640X480:
      return mainDialog.OnStart640x480Clicked(view);
    default:
      return;
  }
}

void SetLargeIcon(HWND dialog) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
  const HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP_ICON));
  SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  MainDialog* const model = DialogModel<MainDialog>(dialog, message, lParam);
  if (model == nullptr) return FALSE;
  MainDialog& mainDialog = *model;
  MainDialogControls view(dialog, mainDialog.language());
  switch (message) {
    case WM_INITDIALOG:
      mainDialog.OnInit(view);
      SetLargeIcon(dialog);
      return TRUE;
    case WM_COMMAND:
      OnCommand(mainDialog, view, LOWORD(wParam), HIWORD(wParam));
      return FALSE;
    case WM_CLOSE:
      mainDialog.OnCancelled(view);
      return FALSE;
    case WM_DESTROY:
      mainDialog.OnDestroy(view);
      // Nothing takes this up: WinMain has no message loop and goes on to shut down.
      PostQuitMessage(0);
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace cfg
