#include <windows.h>

#include <shellapi.h>  // after windows.h, which it needs

#include "settings/file_system_win32.h"
#include "settings/text_codec_win32.h"
#include "tools/kvset/platform.h"

namespace cfg {
namespace {

std::string WithCrLf(const std::string& text) {
  std::string converted;
  for (const char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
}

// A console shows UTF-16 whatever its code page; a pipe or a file gets the
// UTF-8 bytes the Linux tool writes, with Windows line ends.
void WriteTo(DWORD stream, const std::string& text) {
  const HANDLE handle = GetStdHandle(stream);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || text.empty()) return;
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(handle, &mode)) {
    const std::wstring wide = WideFromUtf8(text);
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  const std::string bytes = WithCrLf(text);
  WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

// The ANSI argv would lose every character outside the system's code page.
std::vector<std::string> CommandLineWords(int, char**) {
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> result;
  for (int i = 1; i < count; ++i) result.push_back(Utf8FromWide(words[i]));
  LocalFree(words);
  return result;
}

std::unique_ptr<FileSystem> PlatformFileSystem() {
  return std::make_unique<WinFileSystem>();
}

void WriteStandardOutput(const std::string& text) {
  WriteTo(STD_OUTPUT_HANDLE, text);
}

void WriteStandardError(const std::string& text) {
  WriteTo(STD_ERROR_HANDLE, text);
}

}  // namespace cfg
