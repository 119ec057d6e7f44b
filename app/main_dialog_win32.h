// The main settings dialog's procedure, for the template "INITIALPAGE"; its
// parameter is the MainDialog it shows.
#pragma once

#include <windows.h>

namespace cfg {

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace cfg
