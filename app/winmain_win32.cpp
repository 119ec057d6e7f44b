// Program entry: start-up, the host window, the main dialog, shut-down.
#include <windows.h>

#include "app/devices_thread_win32.h"
#include "app/main_dialog.h"
#include "app/main_dialog_win32.h"
#include "app/program.h"
#include "app/save_failure_win32.h"
#include "input/input_devices_win32.h"
#include "input/joystick_api_win32.h"
#include "res/resource_ids.h"
#include "settings/file_system_win32.h"
#include "settings/text_codec_win32.h"

namespace cfg {

namespace {

constexpr char kHostWindowName[] = "コンフィグ";
constexpr UINT kHostClassStyle = CS_VREDRAW | CS_HREDRAW | CS_BYTEALIGNCLIENT | CS_BYTEALIGNWINDOW;
constexpr DWORD kHostExStyle = WS_EX_APPWINDOW;
constexpr DWORD kHostStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// The host window shows itself, without taking the focus, once the main
// dialog is on screen: the dialog manager sends the owner WM_ENTERIDLE when
// the dialog's queue first runs empty, after it has shown the dialog.
LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ENTERIDLE && !IsWindowVisible(window)) ShowWindow(window, SW_SHOWNA);
  return DefWindowProcW(window, message, wParam, lParam);
}

// The owner of the main dialog and the program's task-bar entry: a window
// with an empty client area at the top-left corner, sized for it at creation.
// Null when it could not be created: the dialog then runs without an owner.
HWND OpenHostWindow(HINSTANCE instance, const wchar_t* className) {
  RECT outer{};
  AdjustWindowRectEx(&outer, kHostStyle, FALSE, kHostExStyle);
  return CreateWindowExW(kHostExStyle, className, className, kHostStyle, 0, 0,
                         outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                         instance, nullptr);
}

// False when the class cannot be registered: the program then ends at once.
bool RegisterHostClass(HINSTANCE instance, const wchar_t* className) {
  const HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP_ICON));
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = kHostClassStyle;
  windowClass.lpfnWndProc = HostWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = icon;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = className;
  windowClass.hIconSm = icon;
  return RegisterClassExW(&windowClass) != 0;
}

// The exit code: 1 when the player's confirmed settings were finally not saved.
// No common controls to initialise: every control in the templates is USER32's.
int Run(HINSTANCE instance) {
  WinFileSystem files;
  WinInputDevices inputDevices;
  WinJoystickApi joystickApi;
  WinDevicesThread devicesThread;
  Program program(Platform{files, inputDevices, joystickApi, devicesThread});
  MainDialog mainDialog(program);
  program.StartUp();
  const std::wstring hostName = WideFromCp932(kHostWindowName);
  if (!RegisterHostClass(instance, hostName.c_str())) return 0;
  const HWND hostWindow = OpenHostWindow(instance, hostName.c_str());
  DialogBoxParamW(instance, L"INITIALPAGE", hostWindow, MainDialogProc,
                  reinterpret_cast<LPARAM>(&mainDialog));
  if (hostWindow != nullptr) DestroyWindow(hostWindow);
  return program.ShutDown(AskToRetrySave) ? 0 : 1;
}

}  // namespace

}  // namespace cfg

// The command line is not read.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return cfg::Run(instance);
}
