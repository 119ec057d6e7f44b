#include "settings/folder_path.h"

namespace cfg {

bool EndsWithBackslash(const std::string& folder) {
  // Walk whole characters: the last one counts only when it is a single byte.
  bool lastIsBackslash = false;
  for (size_t i = 0; i < folder.size(); ++i) {
    const uint8_t byte = static_cast<uint8_t>(folder[i]);
    lastIsBackslash = byte == '\\';
    if (IsLeadByte(byte)) ++i;
  }
  return lastIsBackslash;
}

std::string WithTrailingBackslash(const std::string& folder) {
  // An empty folder stays empty: it already means "the current directory".
  if (folder.empty() || EndsWithBackslash(folder)) return folder;
  return folder + '\\';
}

bool IsDriveOrRootPath(const std::string& path) {
  // No trail byte of a double-byte character is a colon, so path[1] is one only as itself.
  const bool drive = path.size() > 1 && path[1] == ':';
  const bool rooted = !path.empty() && (path[0] == '\\' || path[0] == '/');
  return drive || rooted;
}

}  // namespace cfg
