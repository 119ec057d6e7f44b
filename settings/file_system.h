// The platform's files and current directory, as the settings store sees them.
// Paths are CP932 byte strings with backslash separators; each platform converts
// them at its own boundary.
#pragma once

#include <cstdint>
#include <string>

namespace cfg {

class FileSystem {
 public:
  using Handle = uintptr_t;
  static constexpr Handle kNoHandle = 0;

  virtual ~FileSystem() = default;

  // Opens an existing file for reading, sharing it with other readers.
  virtual Handle FileOpenRead(const std::string& path) = 0;
  // Creates the file, or empties an existing one, for writing.
  virtual Handle FileCreateWrite(const std::string& path) = 0;
  // One read of up to `count` bytes; the number of bytes read, 0 on failure or at the end.
  virtual uint32_t FileRead(Handle file, void* buffer, uint32_t count) = 0;
  // One write of `count` bytes; the number of bytes written.
  virtual uint32_t FileWrite(Handle file, const void* buffer, uint32_t count) = 0;
  // For a file opened for writing, true only when its content reached the disk.
  virtual bool FileClose(Handle file) = 0;
  // The size's low 32 bits; 0xFFFFFFFF when the size cannot be told.
  virtual uint32_t FileGetSize(Handle file) = 0;
  // Puts `from` in the place of `to` in one step. Fails, leaving both as they
  // were, when `to` is read-only or held open by another program.
  virtual bool FileReplace(const std::string& from, const std::string& to) = 0;
  virtual bool FileDelete(const std::string& path) = 0;

  // Why the last call that failed failed, in the system's words (UTF-8);
  // empty where the platform cannot tell.
  virtual std::string LastErrorText() { return std::string(); }

  virtual std::string CurrentDirectory() = 0;
  // Changes the process's current directory (and drive); false when it stays.
  virtual bool ChangeDirectory(const std::string& path) = 0;
};

}  // namespace cfg
