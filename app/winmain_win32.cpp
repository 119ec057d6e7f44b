// Program entry: start-up, the host window, the main dialog, shut-down.
#include <windows.h>

#include <commctrl.h>

#include "app/app_win32.h"
#include "app/host_window_win32.h"
#include "app/main_dialog_win32.h"
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

std::wstring FullPath(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  return full;
}

void ReportSaveFailure() {
  // The main dialog's WM_DESTROY posted WM_QUIT; a message box would take it
  // as its own end and return before it was seen.
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  const std::wstring path = FullPath(WideFromCp932(SettingsFilePath(program.settingsFolder)));
  const std::wstring text =
      WideFromCp932("設定ファイル ") + path + WideFromCp932(" を保存できませんでした。");
  MessageBoxW(nullptr, text.c_str(), WideFromCp932("設定").c_str(), MB_ICONERROR | MB_OK);
}

void Run(HINSTANCE instance) {
  InitCommonControls();
  program.StartUp();
  if (!OpenHostWindow(instance)) return;
  appInstance = instance;
  DialogBoxParamW(instance, L"INITIALPAGE", hostWindow.window, MainDialogProc, 0);
  if (hostWindow.window != nullptr) DestroyWindow(hostWindow.window);
  if (!program.ShutDown()) ReportSaveFailure();
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

// The command line is not read; the exit code is 0 on every path.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  cfg::Run(instance);
  return 0;
}
