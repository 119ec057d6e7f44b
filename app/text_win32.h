// The program keeps its texts in code page 932; Windows gets them as UTF-16, so
// that they survive on a system whose ANSI code page is not 932.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace cfg {

std::wstring WideFromCp932(std::string_view text);
// Characters that code page 932 lacks become its default character.
std::string Cp932FromWide(const std::wstring& text);

// Texts of a field's length go through the stack: the dialogs set them on
// every 100 ms tick.
void SetDlgItemTextCp932(HWND dialog, int id, std::string_view text);
int MessageBoxCp932(HWND owner, const std::string& text, const std::string& caption, UINT type);

}  // namespace cfg
