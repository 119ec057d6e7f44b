#include "app/host_window_win32.h"

#include <cstring>

#include "settings/text_codec_win32.h"

namespace cfg {

namespace {

constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_BYTEALIGNCLIENT | CS_BYTEALIGNWINDOW;

template <size_t N>
void CopyText(char (&buffer)[N], const char* text) {
  std::strncpy(buffer, text, N - 1);
  buffer[N - 1] = '\0';
}

int Width(const RECT& rect) {
  return rect.right - rect.left;
}
int Height(const RECT& rect) {
  return rect.bottom - rect.top;
}

}  // namespace

void SetupWindowRecord(HostWindowRecord& record, HINSTANCE instance, const char* className,
                       const char* title, int32_t left, int32_t top, int32_t clientWidth,
                       int32_t clientHeight) {
  CopyText(record.className, className);
  CopyText(record.title, title);
  record.left = left;
  record.top = top;
  record.clientWidth = clientWidth;
  record.clientHeight = clientHeight;
  record.instance = instance;
}

ATOM RegisterWindowClass(const HostWindowRecord& record, WNDPROC windowProc, HICON largeIcon,
                         HICON smallIcon) {
  const std::wstring className = WideFromCp932(record.className);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = kClassStyle;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = record.instance;
  windowClass.hIcon = largeIcon;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = className.c_str();
  windowClass.hIconSm = smallIcon;
  return RegisterClassExW(&windowClass);
}

int CreateRecordWindow(HostWindowRecord& record, DWORD exStyle, DWORD style) {
  const HWND window = CreateWindowExW(exStyle, WideFromCp932(record.className).c_str(),
                                      WideFromCp932(record.title).c_str(), style, record.left,
                                      record.top, record.clientWidth, record.clientHeight, nullptr,
                                      nullptr, record.instance, nullptr);
  if (window == nullptr) return 0;
  record.window = window;
  UpdateWindow(window);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  FitWindowToClient(record);
  return 1;
}

void FitWindowToClient(const HostWindowRecord& record) {
  RECT outer;
  RECT client;
  GetWindowRect(record.window, &outer);
  GetClientRect(record.window, &client);
  MoveWindow(record.window, record.left, record.top,
             record.clientWidth + Width(outer) - Width(client),
             record.clientHeight + Height(outer) - Height(client), TRUE);
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace cfg
