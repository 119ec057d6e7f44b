// The key test dialog's procedure, for template 103; its parameter is the
// KeyTest it shows.
#pragma once

#include <windows.h>

namespace cfg {

INT_PTR CALLBACK KeyTestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace cfg
