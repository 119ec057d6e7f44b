// Program entry: start-up, the host window, the main dialog, shut-down.
#include <windows.h>

#include "app/devices_thread_win32.h"
#include "app/main_dialog.h"
#include "app/main_dialog_win32.h"
#include "app/program.h"
#include "app/save_failure_win32.h"
#include "dialogs/dialog_model_win32.h"
#include "input/input_devices_win32.h"
#include "input/joystick_api_win32.h"
#include "res/resource_ids.h"
#include "settings/file_system_win32.h"
#include "settings/text_codec_win32.h"

namespace cfg {

namespace {

// The title is the language's; the class keeps the Japanese name.
constexpr char kHostClassName[] = "コンフィグ";
constexpr UINT kHostClassStyle = CS_VREDRAW | CS_HREDRAW | CS_BYTEALIGNCLIENT | CS_BYTEALIGNWINDOW;
constexpr DWORD kHostExStyle = WS_EX_APPWINDOW;
constexpr DWORD kHostStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// The host window shows itself, without taking the focus, and the devices
// thread begins, once the main dialog is on screen: the dialog manager sends
// the owner WM_ENTERIDLE when the dialog's queue first runs empty, after it has
// shown the dialog. The thread comes in through CreateWindowExW's parameter.
LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  if (message == WM_ENTERIDLE && !IsWindowVisible(window)) {
    ShowWindow(window, SW_SHOWNA);
    auto* devicesThread =
        reinterpret_cast<WinDevicesThread*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (devicesThread != nullptr) devicesThread->Release();
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// The owner of the main dialog and the program's task-bar entry: a window
// with an empty client area at the top-left corner, sized for it at creation.
// Its region is empty, so that its caption is not left on screen as a sliver
// above the dialog: it stays visible for the task bar and Alt+Tab, and takes
// no clicks. Null when it could not be created: the dialog then runs without
// an owner.
HWND OpenHostWindow(HINSTANCE instance, const wchar_t* className, const std::string& name,
                    WinDevicesThread& devicesThread) {
  RECT outer{};
  AdjustWindowRectEx(&outer, kHostStyle, FALSE, kHostExStyle);
  const HWND window =
      CreateWindowExW(kHostExStyle, className, WideFromCp932(name).c_str(), kHostStyle, 0, 0,
                      outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                      instance, &devicesThread);
  if (window != nullptr) SetWindowRgn(window, CreateRectRgn(0, 0, 0, 0), FALSE);
  return window;
}

// False when the class cannot be registered: the program then ends at once.
bool RegisterHostClass(HINSTANCE instance, const wchar_t* className) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = kHostClassStyle;
  windowClass.lpfnWndProc = HostWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP_ICON));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = className;
  // The image drawn for the small size, not the large one scaled down.
  windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP_ICON),
                                                      IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                      GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  return RegisterClassExW(&windowClass) != 0;
}

// The exit code: 1 when the player's confirmed settings were finally not saved.
// No common controls to initialise: the manifest's class redirection loads
// comctl32 with the dialog's first control.
int Run(HINSTANCE instance, Language language) {
  WinFileSystem files;
  WinInputDevices inputDevices;
  WinJoystickApi joystickApi;
  WinDevicesThread devicesThread;
  Program program(Platform{files, inputDevices, joystickApi, devicesThread});
  MainDialog mainDialog(program, language);
  program.StartUp();
  const std::wstring className = WideFromCp932(kHostClassName);
  if (!RegisterHostClass(instance, className.c_str())) return 0;
  const HWND hostWindow =
      OpenHostWindow(instance, className.c_str(), TextsOf(language).hostWindowName, devicesThread);
  DialogBoxInLanguage(instance, L"INITIALPAGE", language, hostWindow, MainDialogProc,
                      reinterpret_cast<LPARAM>(&mainDialog));
  // The host window outlives the save: a failure box needs an owner on the
  // task bar, or it gets a button of its own and may open behind other windows.
  const bool saved =
      program.ShutDown([hostWindow, language](const std::string& path, const FileFault& fault) {
        return AskToRetrySave(hostWindow, path, fault, language);
      });
  if (hostWindow != nullptr) DestroyWindow(hostWindow);
  return saved ? 0 : 1;
}

}  // namespace

}  // namespace cfg

// The command line asks for the interface's language, if any (ASCII: the
// system's code page is whatever it is).
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  // A DataPath on an empty card reader fails quietly instead of raising the
  // system's "no disk" box.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  return cfg::Run(instance, cfg::LanguageFromCommandLine(commandLine));
}
