// Program entry: start-up, the host window, the main dialog, shut-down.
#include <windows.h>

#include <commctrl.h>

#include "app/app_win32.h"
#include "app/host_window_win32.h"
#include "app/main_dialog_win32.h"
#include "app/save_failure_win32.h"
#include "input/input_devices_win32.h"
#include "input/joystick_api_win32.h"
#include "res/resource_ids.h"
#include "settings/file_system_win32.h"
#include "settings/text_codec_win32.h"

namespace cfg {

namespace {

constexpr char kHostWindowName[] = "コンフィグ";
constexpr DWORD kHostExStyle = WS_EX_APPWINDOW;
constexpr DWORD kHostStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

WinFileSystem files;
WinInputDevices inputDevices;
WinJoystickApi joystickApi;
Program program(Platform{files, inputDevices, joystickApi});
MainDialog mainDialog(program);
HINSTANCE appInstance = nullptr;
HostWindowRecord hostWindow{};

HICON AppIcon(HINSTANCE instance) {
  return LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP_ICON));
}

// 0 when the window class cannot be registered.
int OpenHostWindow(HINSTANCE instance) {
  SetupWindowRecord(hostWindow, instance, kHostWindowName, kHostWindowName, 0, 0, 0, 0);
  if (!RegisterWindowClass(hostWindow, HostWindowProc, AppIcon(instance), AppIcon(instance))) {
    return 0;
  }
  CreateRecordWindow(hostWindow, kHostExStyle, kHostStyle);
  return 1;
}

// The exit code: 1 when the player's confirmed settings were finally not saved.
int Run(HINSTANCE instance) {
  InitCommonControls();
  program.StartUp();
  if (!OpenHostWindow(instance)) return 0;
  appInstance = instance;
  DialogBoxParamW(instance, L"INITIALPAGE", hostWindow.window, MainDialogProc, 0);
  if (hostWindow.window != nullptr) DestroyWindow(hostWindow.window);
  return program.ShutDown(AskToRetrySave) ? 0 : 1;
}

}  // namespace

Program& TheProgram() {
  return program;
}
MainDialog& TheMainDialog() {
  return mainDialog;
}
HINSTANCE AppInstance() {
  return appInstance;
}

}  // namespace cfg

// The command line is not read.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return cfg::Run(instance);
}
