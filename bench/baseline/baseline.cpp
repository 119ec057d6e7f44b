// The least a program does to show one modal dialog from a template, and
// nothing else: the floor that Config.exe's start-up is measured against.
#include <windows.h>

namespace {

INT_PTR CALLBACK BaselineDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:  // the close box and Escape arrive as IDCANCEL
      if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  DialogBoxParamW(instance, L"BASELINE", nullptr, BaselineDialogProc, 0);
  return 0;
}
