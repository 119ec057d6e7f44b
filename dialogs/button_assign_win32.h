// The button-assignment dialog's procedure, for template 102; its parameter
// is the ButtonAssign it shows.
#pragma once

#include <windows.h>

namespace cfg {

INT_PTR CALLBACK ButtonAssignDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace cfg
