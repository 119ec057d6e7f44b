// The encodings a bindings text arrives in: UTF-8 from kvset itself, UTF-16
// from a Windows PowerShell redirection, CP932 from Notepad's "ANSI".
#pragma once

#include <optional>
#include <string>

namespace cfg {

// UTF-8's byte-order mark, which an editor may put before a text.
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

// UTF-8 (a byte-order mark dropped) from UTF-8 with or without a byte-order
// mark, UTF-16 LE or BE with one, or else code page 932; nothing when the
// bytes are none of these.
std::optional<std::string> Utf8FromAnyText(const std::string& bytes);

}  // namespace cfg
