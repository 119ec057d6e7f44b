#include "tools/kvset/text_decode.h"

#include <cstdint>

#include "settings/text_codec.h"

namespace cfg {
namespace {

constexpr char kUtf16LeMark[] = "\xFF\xFE";
constexpr char kUtf16BeMark[] = "\xFE\xFF";
constexpr uint32_t kHighSurrogate = 0xD800;
constexpr uint32_t kLowSurrogate = 0xDC00;
constexpr uint32_t kSurrogateEnd = 0xE000;
constexpr uint32_t kSurrogateBits = 0x3FF;
constexpr uint32_t kSupplementaryBase = 0x10000;

bool StartsWith(const std::string& bytes, const char* mark) {
  return bytes.compare(0, std::char_traits<char>::length(mark), mark) == 0;
}

void AppendUtf8(uint32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// After the two-byte mark; nothing for an odd length or a lone surrogate.
std::optional<std::string> Utf8FromUtf16(const std::string& bytes, bool bigEndian) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  const auto unit = [&](size_t at) {
    const uint32_t first = static_cast<uint8_t>(bytes[at]);
    const uint32_t second = static_cast<uint8_t>(bytes[at + 1]);
    return bigEndian ? first << 8 | second : second << 8 | first;
  };
  std::string out;
  for (size_t at = 2; at < bytes.size(); at += 2) {
    uint32_t c = unit(at);
    if (c >= kLowSurrogate && c < kSurrogateEnd) return std::nullopt;
    if (c >= kHighSurrogate && c < kLowSurrogate) {
      at += 2;
      if (at >= bytes.size()) return std::nullopt;
      const uint32_t low = unit(at);
      if (low < kLowSurrogate || low >= kSurrogateEnd) return std::nullopt;
      c = kSupplementaryBase + ((c & kSurrogateBits) << 10 | (low & kSurrogateBits));
    }
    AppendUtf8(c, out);
  }
  return out;
}

// Well-formed UTF-8: shortest forms, no surrogates, nothing past U+10FFFF.
bool IsUtf8(const std::string& bytes) {
  size_t at = 0;
  while (at < bytes.size()) {
    const uint8_t lead = static_cast<uint8_t>(bytes[at]);
    size_t length = 1;
    uint32_t c = lead;
    if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      c = lead & 0x07;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      c = lead & 0x0F;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      c = lead & 0x1F;
    } else if (lead >= 0x80) {
      return false;
    }
    if (at + length > bytes.size()) return false;
    for (size_t k = 1; k < length; ++k) {
      const uint8_t next = static_cast<uint8_t>(bytes[at + k]);
      if ((next & 0xC0) != 0x80) return false;
      c = c << 6 | (next & 0x3F);
    }
    const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
    if (overlong || (c >= kHighSurrogate && c < kSurrogateEnd) || c > 0x10FFFF) return false;
    at += length;
  }
  return true;
}

}  // namespace

std::optional<std::string> Utf8FromAnyText(const std::string& bytes) {
  if (StartsWith(bytes, kUtf8Mark)) {
    const std::string rest = bytes.substr(sizeof kUtf8Mark - 1);
    return IsUtf8(rest) ? std::optional<std::string>(rest) : std::nullopt;
  }
  if (StartsWith(bytes, kUtf16LeMark)) return Utf8FromUtf16(bytes, false);
  if (StartsWith(bytes, kUtf16BeMark)) return Utf8FromUtf16(bytes, true);
  if (IsUtf8(bytes)) return bytes;
  return Utf8FromCp932(bytes);
}

}  // namespace cfg
