#include "dialogs/dialog_model_win32.h"

namespace cfg {

void* DialogModel(HWND dialog, UINT message, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
  return reinterpret_cast<void*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
}

int RunModelDialog(HWND owner, int templateId, DLGPROC procedure, void* model) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
  return static_cast<int>(DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, procedure,
                                          reinterpret_cast<LPARAM>(model)));
}

}  // namespace cfg
