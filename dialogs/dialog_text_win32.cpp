#include "dialogs/dialog_text_win32.h"

#include "settings/text_codec_win32.h"

namespace cfg {

namespace {
constexpr int kShortTextLength = 63;  // characters converted without the heap
}  // namespace

void SetDlgItemTextCp932(HWND dialog, int id, std::string_view text) {
  wchar_t shortText[kShortTextLength + 1];
  if (WideFromCp932Into(text, shortText, kShortTextLength)) {
    SetDlgItemTextW(dialog, id, shortText);
    return;
  }
  SetDlgItemTextW(dialog, id, WideFromCp932(text).c_str());
}

int MessageBoxCp932(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  return MessageBoxW(owner, WideFromCp932(text).c_str(), WideFromCp932(caption).c_str(), type);
}

}  // namespace cfg
