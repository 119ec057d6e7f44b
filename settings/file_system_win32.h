// Files and the current directory through the Win32 wide-character calls; the
// core's CP932 paths are converted at this boundary.
#pragma once

#include <set>

#include "settings/file_system.h"

namespace cfg {

class WinFileSystem : public FileSystem {
 public:
  Handle FileOpenRead(const std::string& path) override;
  Handle FileCreateWrite(const std::string& path) override;
  uint32_t FileRead(Handle file, void* buffer, uint32_t count) override;
  uint32_t FileWrite(Handle file, const void* buffer, uint32_t count) override;
  bool FileClose(Handle file) override;
  uint32_t FileGetSize(Handle file) override;
  bool FileReplace(const std::string& from, const std::string& to) override;
  bool FileDelete(const std::string& path) override;
  std::string CurrentDirectory() override;
  bool ChangeDirectory(const std::string& path) override;

 private:
  std::set<Handle> writing_;  // open for writing: flushed before they are closed
};

}  // namespace cfg
