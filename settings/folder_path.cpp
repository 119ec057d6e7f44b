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

}  // namespace cfg
