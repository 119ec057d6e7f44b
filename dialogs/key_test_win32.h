// The key test dialog's procedure, for template 103.
#pragma once

#include <windows.h>

namespace cfg {

INT_PTR CALLBACK KeyTestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace cfg
