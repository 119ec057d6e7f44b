#include "app/text_win32.h"

namespace cfg {

namespace {
constexpr UINT kCodePage = 932;
}

std::wstring WideFromCp932(const std::string& text) {
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(kCodePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(kCodePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string Cp932FromWide(const std::wstring& text) {
  const int size = static_cast<int>(text.size());
  const int length =
      WideCharToMultiByte(kCodePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(kCodePage, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

void SetDlgItemTextCp932(HWND dialog, int id, const std::string& text) {
  SetDlgItemTextW(dialog, id, WideFromCp932(text).c_str());
}

int MessageBoxCp932(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  return MessageBoxW(owner, WideFromCp932(text).c_str(), WideFromCp932(caption).c_str(), type);
}

}  // namespace cfg
