// Files and the current directory through the Win32 wide-character calls; the
// core's CP932 paths are converted at this boundary. The change lock is a
// named mutex derived from the file's full path.
#pragma once

#include <set>

#include "settings/file_system.h"

namespace cfg {

// The full path of a CP932 path, as the player finds the file.
std::string FullPath(const std::string& path);

class WinFileSystem : public FileSystem {
 public:
  Handle FileOpenRead(const std::string& path) override;
  Handle FileCreateNew(const std::string& path) override;
  std::string TemporaryPathBeside(const std::string& path) override;
  bool FileTakeIdentity(Handle file, const std::string& original) override;
  uint32_t FileRead(Handle file, void* buffer, uint32_t count) override;
  uint32_t FileWrite(Handle file, const void* buffer, uint32_t count) override;
  bool FileClose(Handle file) override;
  uint64_t FileGetSize(Handle file) override;
  std::string FinalPath(const std::string& path) override;
  bool FileCanReplace(const std::string& to) override;
  bool FileReplace(const std::string& from, const std::string& to) override;
  bool FileDelete(const std::string& path) override;
  Handle LockForChange(const std::string& path) override;
  void Unlock(Handle lock) override;
  FileFault LastFault() override;
  void Pause(unsigned milliseconds) override;
  std::optional<std::string> PathFromUtf8(const std::string& name) override;
  std::string CurrentDirectory() override;
  bool ChangeDirectory(const std::string& path) override;

 private:
  // Records GetLastError() as the cause of a failure; returns `result` for brevity.
  template <typename T>
  T Failed(T result);
  template <typename T>
  T Failed(T result, unsigned long error) {
    error_ = error;
    return result;
  }

  std::set<Handle> writing_;  // open for writing: flushed before they are closed
  unsigned long error_ = 0;
  unsigned temporaryCount_ = 0;
};

}  // namespace cfg
