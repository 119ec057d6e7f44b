// A dialog's state comes with DialogBoxParamW's parameter and stays in the
// dialog's user data.
#pragma once

#include <windows.h>

namespace cfg {

// The model handed to DialogBoxParamW; null for the messages that come
// before WM_INITDIALOG.
template <class Model>
Model* DialogModel(HWND dialog, UINT message, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
  return reinterpret_cast<Model*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
}

// Runs a dialog of this program's resources modally over `model`.
template <class Model>
int RunModelDialog(HWND owner, int templateId, DLGPROC procedure, Model& model) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
  return static_cast<int>(DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, procedure,
                                          reinterpret_cast<LPARAM>(&model)));
}

}  // namespace cfg
