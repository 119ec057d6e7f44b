#include <windows.h>

#include "settings/text_codec.h"

namespace cfg {
namespace {

constexpr UINT kCp932 = 932;

std::optional<std::wstring> WideFrom(UINT codePage, const std::string& text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int length =
      MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (length == 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
  return wide;
}

std::optional<std::string> Utf8From(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (length == 0) return std::nullopt;
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

// A character that code page 932 lacks would silently become its default character.
std::optional<std::string> Cp932From(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  BOOL lossy = FALSE;
  const int length = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr,
                                         0, nullptr, &lossy);
  if (length == 0 || lossy) return std::nullopt;
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, text.data(), size, narrow.data(), length,
                      nullptr, nullptr);
  return narrow;
}

}  // namespace

std::optional<std::string> Utf8FromCp932(const std::string& text) {
  const std::optional<std::wstring> wide = WideFrom(kCp932, text);
  return wide ? Utf8From(*wide) : std::nullopt;
}

std::optional<std::string> Cp932FromUtf8(const std::string& text) {
  const std::optional<std::wstring> wide = WideFrom(CP_UTF8, text);
  return wide ? Cp932From(*wide) : std::nullopt;
}

}  // namespace cfg
