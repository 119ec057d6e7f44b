// Folder texts in code page 932: a second byte of a double-byte character can
// be 0x5C, so "ends in a backslash" has to walk the characters.
#pragma once

#include <cstdint>
#include <string>

namespace cfg {

// Bytes that start a double-byte character (and take the next byte with them).
inline bool IsLeadByte(uint8_t byte) {
  return (byte >= 0x80 && byte <= 0x9F) || byte >= 0xE0;
}

// True when the last character of the text is a backslash.
bool EndsWithBackslash(const std::string& folder);

// The folder with a closing backslash, added only when it has none.
std::string WithTrailingBackslash(const std::string& folder);

// A path that does not start from the current folder: it names a drive
// ("C:", "C:\\x") or starts at a root ("\\x", "/x").
bool IsDriveOrRootPath(const std::string& path);

}  // namespace cfg
