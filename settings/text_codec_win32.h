// Windows takes every text as UTF-16. The program keeps its texts in code page
// 932 and kvset talks UTF-8; all conversions between them happen here, so that
// they survive on a system whose ANSI code page is not 932.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cfg {

// Lenient: a byte sequence without a counterpart becomes the other side's
// default character. For texts the program shows, and CP932 paths it opens.
std::wstring WideFromCp932(std::string_view text);
std::string Cp932FromWide(std::wstring_view text);
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

// Strict, for paths: nothing when a character has no code page 932 form.
// Never a best fit, which could turn a yen sign into a backslash, a separator.
std::optional<std::string> ExactCp932FromWide(std::wstring_view text);

// Into `buffer`, NUL-terminated, when the text fits in `capacity` characters;
// false, leaving nothing usable, when it does not. Short texts set on every
// dialog tick go through the stack this way.
bool WideFromCp932Into(std::string_view text, wchar_t* buffer, int capacity);

}  // namespace cfg
