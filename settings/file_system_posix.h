// Files and the current directory on a POSIX system, for the native tools and
// tests. CP932 paths are converted to the system's UTF-8 and backslashes become
// slashes; a path that cannot be converted opens nothing. A handle is the file
// descriptor plus one. Closing a written file syncs it first, and a file without
// write permission is never replaced.
#pragma once

#include "settings/file_system.h"

namespace cfg {

class PosixFileSystem : public FileSystem {
 public:
  Handle FileOpenRead(const std::string& path) override;
  Handle FileCreateWrite(const std::string& path) override;
  uint32_t FileRead(Handle file, void* buffer, uint32_t count) override;
  uint32_t FileWrite(Handle file, const void* buffer, uint32_t count) override;
  bool FileClose(Handle file) override;
  uint32_t FileGetSize(Handle file) override;
  bool FileReplace(const std::string& from, const std::string& to) override;
  bool FileDelete(const std::string& path) override;
  std::string LastErrorText() override;
  std::string CurrentDirectory() override;
  bool ChangeDirectory(const std::string& path) override;
};

}  // namespace cfg
