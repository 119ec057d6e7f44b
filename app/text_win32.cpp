#include "app/text_win32.h"

namespace cfg {

namespace {
constexpr UINT kCodePage = 932;
constexpr int kShortTextLength = 63;  // characters converted without the heap
}  // namespace

std::wstring WideFromCp932(std::string_view text) {
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

void SetDlgItemTextCp932(HWND dialog, int id, std::string_view text) {
  wchar_t shortText[kShortTextLength + 1];
  const int length = MultiByteToWideChar(kCodePage, 0, text.data(), static_cast<int>(text.size()),
                                         shortText, kShortTextLength);
  if (length > 0 || text.empty()) {
    shortText[length] = L'\0';
    SetDlgItemTextW(dialog, id, shortText);
    return;
  }
  SetDlgItemTextW(dialog, id, WideFromCp932(text).c_str());
}

int MessageBoxCp932(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  return MessageBoxW(owner, WideFromCp932(text).c_str(), WideFromCp932(caption).c_str(), type);
}

}  // namespace cfg
