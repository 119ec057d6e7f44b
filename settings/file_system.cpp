#include "settings/file_system.h"

#include <algorithm>
#include <limits>

namespace cfg {

size_t ReadUntilFull(FileSystem& files, FileSystem::Handle file, void* buffer, size_t count,
                     bool* ended) {
  uint8_t* bytes = static_cast<uint8_t*>(buffer);
  size_t filled = 0;
  bool atEnd = false;
  while (filled < count) {
    const uint32_t wanted = static_cast<uint32_t>(
        std::min<size_t>(count - filled, std::numeric_limits<uint32_t>::max()));
    const uint32_t got = files.FileRead(file, bytes + filled, wanted);
    if (got == 0) {
      atEnd = files.LastFault().cause == FileError::kNone;
      break;
    }
    filled += std::min(got, wanted);
  }
  if (ended != nullptr) *ended = atEnd;
  return filled;
}

}  // namespace cfg
