// The core keeps its texts in code page 932; Linux and the command-line tool
// talk UTF-8. Both ways go through the platform's converter: iconv on Linux
// (text_codec_posix.cpp), MultiByteToWideChar on Windows (text_codec_win32.cpp).
#pragma once

#include <optional>
#include <string>

namespace cfg {

// Nothing when the text holds a byte sequence or a character without a
// counterpart on the other side.
std::optional<std::string> Utf8FromCp932(const std::string& text);
std::optional<std::string> Cp932FromUtf8(const std::string& text);

}  // namespace cfg
