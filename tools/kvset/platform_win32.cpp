#include <windows.h>

#include <shellapi.h>  // after windows.h, which it needs

#include <algorithm>

#include "settings/file_system_win32.h"
#include "settings/text_codec_win32.h"
#include "tools/kvset/platform.h"

namespace cfg {
namespace {

// Windows 7's console takes at most 64 KiB in one write; show --json is more.
constexpr size_t kConsoleChunk = 8192;

// In pieces that do not split a surrogate pair.
bool WriteConsoleWhole(HANDLE console, const std::wstring& text) {
  for (size_t at = 0; at < text.size();) {
    size_t count = std::min(kConsoleChunk, text.size() - at);
    if (at + count < text.size() && IS_HIGH_SURROGATE(text[at + count - 1])) --count;
    DWORD written = 0;
    if (!WriteConsoleW(console, text.data() + at, static_cast<DWORD>(count), &written, nullptr) ||
        written != count) {
      return false;
    }
    at += count;
  }
  return true;
}

std::string WithCrLf(const std::string& text) {
  std::string converted;
  for (const char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
}

// A console shows UTF-16 whatever its code page; a pipe or a file gets the
// UTF-8 bytes the Linux tool writes, with Windows line ends. False when the
// text did not arrive whole.
bool WriteTo(DWORD stream, const std::string& text) {
  if (text.empty()) return true;
  const HANDLE handle = GetStdHandle(stream);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(handle, &mode)) return WriteConsoleWhole(handle, WideFromUtf8(text));
  const std::string bytes = WithCrLf(text);
  return WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
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

bool WriteStandardOutput(const std::string& text) {
  return WriteTo(STD_OUTPUT_HANDLE, text);
}

void WriteStandardError(const std::string& text) {
  WriteTo(STD_ERROR_HANDLE, text);
}

std::string ReadStandardInput() {
  std::string text;
  const HANDLE handle = GetStdHandle(STD_INPUT_HANDLE);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(handle, buffer, sizeof buffer, &got, nullptr) && got > 0)
    text.append(buffer, got);
  return text;
}

}  // namespace cfg
