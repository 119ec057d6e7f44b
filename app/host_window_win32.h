// The HostWindow: an owner window with no content of its own, which gives the
// main dialog its owner and the program its task-bar entry.
#pragma once

#include <windows.h>

#include <cstdint>

namespace cfg {

struct HostWindowRecord {
  char className[50];  // CP932
  char title[50];      // CP932
  int32_t left;
  int32_t top;
  int32_t clientWidth;
  int32_t clientHeight;
  HINSTANCE instance;
  HWND window;  // null until creation succeeds
};

// Texts longer than 49 bytes are cut.
void SetupWindowRecord(HostWindowRecord& record, HINSTANCE instance, const char* className,
                       const char* title, int32_t left, int32_t top, int32_t clientWidth,
                       int32_t clientHeight);
// The class atom, 0 on failure.
ATOM RegisterWindowClass(const HostWindowRecord& record, WNDPROC windowProc, HICON largeIcon,
                         HICON smallIcon);
// 1 when the window was created, shown and fitted; 0 when it could not be created.
int CreateRecordWindow(HostWindowRecord& record, DWORD exStyle, DWORD style);
// Moves the window to (left, top) and sizes it so that its client area is the record's.
void FitWindowToClient(const HostWindowRecord& record);

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace cfg
