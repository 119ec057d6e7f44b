// A dialog's state comes with DialogBoxParamW's parameter and stays in the
// dialog's user data.
#pragma once

#include <windows.h>

namespace cfg {

// The model handed to RunModelDialog; null for the messages that come before
// WM_INITDIALOG.
void* DialogModel(HWND dialog, UINT message, LPARAM lParam);

// Runs a dialog of this program's resources modally over `model`.
int RunModelDialog(HWND owner, int templateId, DLGPROC procedure, void* model);

}  // namespace cfg
