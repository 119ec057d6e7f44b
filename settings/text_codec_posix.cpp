#include <iconv.h>

#include <vector>

#include "settings/text_codec.h"

namespace cfg {
namespace {

std::optional<std::string> Convert(const char* to, const char* from, const std::string& text) {
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string input = text;
  // A CP932 byte becomes at most three UTF-8 bytes; UTF-8 never grows on its way to CP932.
  std::vector<char> output(text.size() * 3 + 1);
  char* in = input.data();
  size_t inLeft = input.size();
  char* out = output.data();
  size_t outLeft = output.size();
  const size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
  iconv_close(converter);
  // Every failure stops short of the end of the input with -1.
  if (result == static_cast<size_t>(-1)) return std::nullopt;
  return std::string(output.data(), output.size() - outLeft);
}

}  // namespace

std::optional<std::string> Utf8FromCp932(const std::string& text) {
  return Convert("UTF-8", "CP932", text);
}

std::optional<std::string> Cp932FromUtf8(const std::string& text) {
  return Convert("CP932", "UTF-8", text);
}

}  // namespace cfg
