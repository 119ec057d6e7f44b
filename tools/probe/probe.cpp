// Probe: finds the program's windows and reads or drives their controls
// from another process in the same Wine prefix and display.
//
//   probe wait TITLE [timeout_ms]     exit 0 once a top-level window TITLE exists
//   probe gone TITLE [timeout_ms]     exit 0 once no window TITLE exists
//   probe text TITLE ID [ID...]       print each control's text (UTF-8), one a line
//   probe waittext TITLE ID TEXT [timeout_ms]
//                                     exit 0 once the control shows TEXT; else
//                                     print the last text read
//   probe focused TITLE               print the id of the control that has the
//                                     keyboard focus (0 when none of the window's)
//   probe checked TITLE ID            print 1 or 0
//   probe enabled TITLE ID            print 1 or 0
//   probe cursel TITLE ID             print the combo box's selected index
//   probe items TITLE ID              print the combo box's entries, one a line
//   probe select TITLE ID INDEX       select an entry as a user does
//   probe click TITLE ID              press a button (returns at once)
//   probe focus TITLE ID              move the dialog's focus to the control
//   probe close TITLE                 the close box (returns at once)
//   probe xid TITLE                   print the window's X11 window id
//   probe hold PATH MS                open the file without sharing, print
//                                     "held" and keep it open MS milliseconds
//   probe region TITLE                print the type of the window's region: 0 none
//                                     (the whole window), 1 empty, 2 or 3 a shape
//
// TITLE and TEXT may spell characters as \uXXXX, so that a caller whose locale
// cannot carry Japanese still names the window and the text exactly. Exit 0
// on success, 1 when the window or control is missing or a wait timed out, 2
// on bad usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

constexpr int kOk = 0;
constexpr int kNotFound = 1;
constexpr int kUsage = 2;
constexpr DWORD kDefaultTimeoutMs = 10000;
constexpr DWORD kPollMs = 50;
constexpr UINT kReplyTimeoutMs = 5000;

void WriteUtf8Line(const std::wstring& text) {
  std::string bytes;
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr,
                                 0, nullptr, nullptr);
  bytes.resize(size);
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  bytes += '\n';
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
            &written, nullptr);
}

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

// Decodes \uXXXX escapes; everything else is taken as it is.
std::wstring DecodeArgument(const wchar_t* arg) {
  std::wstring decoded;
  for (const wchar_t* p = arg; *p != L'\0'; ++p) {
    if (p[0] == L'\\' && p[1] == L'u') {
      int value = 0;
      int digits = 0;
      for (; digits < 4 && HexDigit(p[2 + digits]) >= 0; ++digits) {
        value = value * 16 + HexDigit(p[2 + digits]);
      }
      if (digits == 4) {
        decoded += static_cast<wchar_t>(value);
        p += 5;
        continue;
      }
    }
    decoded += *p;
  }
  return decoded;
}

// FindWindowW compares titles without regard to case; the probe wants the
// exact title, so it walks the top-level windows itself.
struct TitleSearch {
  const std::wstring* title;
  HWND found;
};

std::wstring WindowText(HWND window) {
  wchar_t buffer[512] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, sizeof buffer / sizeof buffer[0],
                           reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, kReplyTimeoutMs,
                           &copied)) {
    return std::wstring();
  }
  return std::wstring(buffer, copied);
}

BOOL CALLBACK MatchTitle(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TitleSearch*>(param);
  if (!IsWindowVisible(window) || WindowText(window) != *search->title) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindTopLevel(const std::wstring& title) {
  TitleSearch search{&title, nullptr};
  EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

DWORD ParseTimeout(int argc, wchar_t** argv, int index) {
  return argc > index ? static_cast<DWORD>(wcstoul(argv[index], nullptr, 10)) : kDefaultTimeoutMs;
}

int WaitFor(const std::wstring& title, DWORD timeoutMs, bool present) {
  DWORD start = GetTickCount();
  for (;;) {
    if ((FindTopLevel(title) != nullptr) == present) return kOk;
    if (GetTickCount() - start >= timeoutMs) return kNotFound;
    Sleep(kPollMs);
  }
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kReplyTimeoutMs, &result);
  return static_cast<LRESULT>(result);
}

// Sent without waiting for the answer: a button may open a modal box, and its
// handler returns only when the box is closed. Unlike a posted message, it
// is handled before whatever the next probe sends.
int Notify(HWND window, UINT message, WPARAM wParam) {
  return SendNotifyMessageW(window, message, wParam, 0) ? kOk : kNotFound;
}

int PrintNumber(LRESULT value) {
  WriteUtf8Line(std::to_wstring(static_cast<long long>(value)));
  return kOk;
}

int PrintItems(HWND control) {
  LRESULT count = Send(control, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t buffer[512] = {};
    if (Send(control, CB_GETLBTEXTLEN, i, 0) >= 512) return kNotFound;
    Send(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer));
    WriteUtf8Line(buffer);
  }
  return kOk;
}

// A user's choice in a drop-down list reaches the dialog as CBN_SELCHANGE.
int SelectEntry(HWND dialog, HWND control, int id, int index) {
  if (Send(control, CB_SETCURSEL, index, 0) != index) return kNotFound;
  Send(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(control));
  return kOk;
}

// Wine keeps the X11 window id as a property of the top-level window.
int PrintXid(HWND window) {
  HANDLE xid = GetPropW(window, L"__wine_x11_whole_window");
  if (xid == nullptr) return kNotFound;
  return PrintNumber(reinterpret_cast<LRESULT>(xid));
}

int PrintRegionType(HWND window) {
  RECT box{};
  return PrintNumber(GetWindowRgnBox(window, &box));
}

int WaitForText(HWND control, const std::wstring& text, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    std::wstring seen = WindowText(control);
    if (seen == text) return kOk;
    if (GetTickCount() - start >= timeoutMs) {
      WriteUtf8Line(seen);
      return kNotFound;
    }
    Sleep(kPollMs);
  }
}

// The focus belongs to the window's thread, which is not the probe's.
int PrintFocused(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return kNotFound;
  HWND focus = info.hwndFocus;
  return PrintNumber(focus != nullptr && GetParent(focus) == window ? GetDlgCtrlID(focus) : 0);
}

// All controls are looked up first, so that a missing one prints nothing.
int PrintTexts(HWND dialog, int argc, wchar_t** argv) {
  std::wstring lines;
  for (int i = 3; i < argc; ++i) {
    HWND control = GetDlgItem(dialog, _wtoi(argv[i]));
    if (control == nullptr) return kNotFound;
    lines += WindowText(control);
    if (i + 1 < argc) lines += L'\n';
  }
  WriteUtf8Line(lines);
  return kOk;
}

int ControlCommand(const std::wstring& command, HWND dialog, int id, int argc, wchar_t** argv) {
  HWND control = GetDlgItem(dialog, id);
  if (control == nullptr) return kNotFound;
  if (command == L"checked") return PrintNumber(Send(control, BM_GETCHECK, 0, 0) == BST_CHECKED);
  if (command == L"enabled") return PrintNumber(IsWindowEnabled(control) ? 1 : 0);
  if (command == L"cursel") return PrintNumber(Send(control, CB_GETCURSEL, 0, 0));
  if (command == L"items") return PrintItems(control);
  if (command == L"waittext" && argc > 4) {
    return WaitForText(control, DecodeArgument(argv[4]), ParseTimeout(argc, argv, 5));
  }
  if (command == L"focus") {
    Send(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    return kOk;
  }
  if (command == L"click") return Notify(control, BM_CLICK, 0);
  if (command == L"select" && argc > 4) return SelectEntry(dialog, control, id, _wtoi(argv[4]));
  return kUsage;
}

// As another program that has the file open and lets nobody else in.
int HoldFile(const std::wstring& path, DWORD milliseconds) {
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return kNotFound;
  std::fputs("held\n", stdout);
  std::fflush(stdout);
  Sleep(milliseconds);
  CloseHandle(file);
  return 0;
}

int Run(int argc, wchar_t** argv) {
  if (argc < 3) return kUsage;
  std::wstring command = argv[1];
  std::wstring title = DecodeArgument(argv[2]);
  if (command == L"wait") return WaitFor(title, ParseTimeout(argc, argv, 3), true);
  if (command == L"gone") return WaitFor(title, ParseTimeout(argc, argv, 3), false);
  if (command == L"hold") return HoldFile(title, ParseTimeout(argc, argv, 3));
  HWND window = FindTopLevel(title);
  if (window == nullptr) return kNotFound;
  if (command == L"close") {
    return Notify(window, WM_SYSCOMMAND, SC_CLOSE);
  }
  if (command == L"xid") return PrintXid(window);
  if (command == L"region") return PrintRegionType(window);
  if (command == L"focused") return PrintFocused(window);
  if (argc < 4) return kUsage;
  if (command == L"text") return PrintTexts(window, argc, argv);
  return ControlCommand(command, window, _wtoi(argv[3]), argc, argv);
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr) return kUsage;
  int result = Run(argc, argv);
  LocalFree(argv);
  return result;
}
