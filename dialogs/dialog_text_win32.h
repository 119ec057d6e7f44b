// The program's CP932 texts into dialog controls and message boxes, as UTF-16.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace cfg {

// Texts of a field's length go through the stack: the dialogs set them on
// every 100 ms tick.
void SetDlgItemTextCp932(HWND dialog, int id, std::string_view text);
int MessageBoxCp932(HWND owner, const std::string& text, const std::string& caption, UINT type);

}  // namespace cfg
