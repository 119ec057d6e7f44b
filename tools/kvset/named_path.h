// Names of the named file system (the system's bytes on Linux, CP932 on Windows).
#pragma once

#include <string>

namespace cfg {

// True when both exist and are one file (through links, other spellings, or
// another case where the system ignores it).
bool IsSameFile(const std::string& first, const std::string& second);

// The name as UTF-8 text, for messages and JSON.
std::string Utf8OfNamedPath(const std::string& path);

}  // namespace cfg
