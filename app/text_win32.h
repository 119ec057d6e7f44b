// The program keeps its texts in code page 932; Windows gets them as UTF-16, so
// that they survive on a system whose ANSI code page is not 932.
#pragma once

#include <windows.h>

#include <string>

namespace cfg {

std::wstring WideFromCp932(const std::string& text);
// Characters that code page 932 lacks become its default character.
std::string Cp932FromWide(const std::wstring& text);

void SetDlgItemTextCp932(HWND dialog, int id, const std::string& text);
int MessageBoxCp932(HWND owner, const std::string& text, const std::string& caption, UINT type);

}  // namespace cfg
