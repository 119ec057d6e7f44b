#include "settings/text_codec_win32.h"

#include <windows.h>

#include <optional>

#include "settings/text_codec.h"

namespace cfg {
namespace {

constexpr UINT kCp932 = 932;

int Length(std::string_view text) {
  return static_cast<int>(text.size());
}

int Length(std::wstring_view text) {
  return static_cast<int>(text.size());
}

// With MB_ERR_INVALID_CHARS, nothing for a byte sequence the code page lacks.
std::optional<std::wstring> WideFrom(UINT codePage, DWORD flags, std::string_view text) {
  if (text.empty()) return std::wstring();
  const int length = MultiByteToWideChar(codePage, flags, text.data(), Length(text), nullptr, 0);
  if (length == 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, flags, text.data(), Length(text), wide.data(), length);
  return wide;
}

// With `lossy`, nothing for a character the code page lacks: it would
// silently become the default character.
std::optional<std::string> NarrowFrom(UINT codePage, DWORD flags, std::wstring_view text,
                                      BOOL* lossy) {
  if (text.empty()) return std::string();
  const int length =
      WideCharToMultiByte(codePage, flags, text.data(), Length(text), nullptr, 0, nullptr, lossy);
  if (length == 0 || (lossy != nullptr && *lossy)) return std::nullopt;
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(codePage, flags, text.data(), Length(text), narrow.data(), length, nullptr,
                      nullptr);
  return narrow;
}

}  // namespace

std::wstring WideFromCp932(std::string_view text) {
  return WideFrom(kCp932, 0, text).value_or(std::wstring());
}

std::string Cp932FromWide(std::wstring_view text) {
  return NarrowFrom(kCp932, WC_NO_BEST_FIT_CHARS, text, nullptr).value_or(std::string());
}

std::optional<std::string> ExactCp932FromWide(std::wstring_view text) {
  BOOL lossy = FALSE;
  return NarrowFrom(kCp932, WC_NO_BEST_FIT_CHARS, text, &lossy);
}

std::wstring WideFromUtf8(std::string_view text) {
  return WideFrom(CP_UTF8, 0, text).value_or(std::wstring());
}

std::string Utf8FromWide(std::wstring_view text) {
  return NarrowFrom(CP_UTF8, 0, text, nullptr).value_or(std::string());
}

bool WideFromCp932Into(std::string_view text, wchar_t* buffer, int capacity) {
  const int length = MultiByteToWideChar(kCp932, 0, text.data(), Length(text), buffer, capacity);
  if (length == 0 && !text.empty()) return false;
  buffer[length] = L'\0';
  return true;
}

std::optional<std::string> Utf8FromCp932(const std::string& text) {
  const std::optional<std::wstring> wide = WideFrom(kCp932, MB_ERR_INVALID_CHARS, text);
  return wide ? NarrowFrom(CP_UTF8, 0, *wide, nullptr) : std::nullopt;
}

std::optional<std::string> Cp932FromUtf8(const std::string& text) {
  const std::optional<std::wstring> wide = WideFrom(CP_UTF8, MB_ERR_INVALID_CHARS, text);
  return wide ? ExactCp932FromWide(*wide) : std::nullopt;
}

}  // namespace cfg
