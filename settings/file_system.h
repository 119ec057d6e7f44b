// The platform's files and current directory, as the settings store sees them.
// Paths are in the file system's own form: for the game's files CP932 byte
// strings with backslash separators, which each platform converts at its own
// boundary.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace cfg {

// Why the last file operation failed, as far as the player can act on it.
enum class FileError {
  kNone,
  kReadOnly,  // the file has the read-only attribute
  kDenied,    // the user may not change the file or its folder (the system's text tells more)
  kInUse,     // another program holds the file, or the change lock
  kNoFolder,  // the folder is missing
  kDiskFull,
  kExists,        // the name of a new file is taken
  kNotAFile,      // a folder, pipe or device stands where a file belongs
  kOther,         // the system's own text tells
  kUnreadAtLoad,  // the load could not read the file whole: saving over it could lose data
};

struct FileFault {
  FileError cause = FileError::kNone;
  std::string systemText;  // UTF-8; the system's message for kOther and kDenied
  // A hold of a moment (a scanner, an indexer, a sync tool): worth trying again.
  bool transient = false;
  // Set when a failed replace lost the old file: the file that now holds the record.
  std::string keptAt;
};

class FileSystem {
 public:
  using Handle = uintptr_t;
  static constexpr Handle kNoHandle = 0;
  static constexpr uint64_t kUnknownSize = UINT64_MAX;

  virtual ~FileSystem() = default;

  // Opens an existing regular file for reading, sharing it with other readers.
  // Anything else (a folder, a pipe, a device) is refused without waiting.
  virtual Handle FileOpenRead(const std::string& path) = 0;
  // Creates a new file for writing, readable by its owner only. Fails with
  // kExists when the name is taken, by a link too, which is never followed.
  virtual Handle FileCreateNew(const std::string& path) = 0;
  // A fresh name in the folder of `path`, for a temporary file; every call
  // gives another one.
  virtual std::string TemporaryPathBeside(const std::string& path) = 0;
  // Gives the newly created file the permissions and owner of `original`, or
  // the ones a new file gets when `original` does not exist.
  virtual bool FileTakeIdentity(Handle file, const std::string& original) = 0;
  // One read of up to `count` bytes; the number of bytes read, 0 at the end
  // of the file (LastError() then tells kNone) or on failure.
  virtual uint32_t FileRead(Handle file, void* buffer, uint32_t count) = 0;
  // One write of `count` bytes; the number of bytes written.
  virtual uint32_t FileWrite(Handle file, const void* buffer, uint32_t count) = 0;
  // For a file opened for writing, true only when its content reached the disk.
  virtual bool FileClose(Handle file) = 0;
  // kUnknownSize when the size cannot be told.
  virtual uint64_t FileGetSize(Handle file) = 0;
  // The file a path stands for, symbolic links followed (to a file that may
  // not exist yet); the path itself where links are not followed.
  virtual std::string FinalPath(const std::string& path) = 0;
  // True when `to` is missing, or may be replaced now: false, with the cause,
  // when it is read-only or another program holds it so that a replace would
  // fail (on Windows, halfway, leaving files behind).
  virtual bool FileCanReplace(const std::string& to) = 0;
  // Puts `from` in the place of `to` in one step, and makes it last. Fails,
  // leaving both as they were, when `to` is read-only, held open by another
  // program or not a regular file.
  virtual bool FileReplace(const std::string& from, const std::string& to) = 0;
  virtual bool FileDelete(const std::string& path) = 0;

  // Waits for the exclusive right to change the file at `path` (a final path)
  // among the processes that ask for it here; the right outlives a
  // FileReplace of that file and leaves nothing on disk. kNoHandle on failure,
  // kInUse when the wait, which is bounded, ran out.
  virtual Handle LockForChange(const std::string& path) = 0;
  virtual void Unlock(Handle lock) = 0;

  // The cause of the last call that failed.
  virtual FileFault LastFault() = 0;
  // Waits before a call that met a transient hold is tried again.
  virtual void Pause(unsigned milliseconds) = 0;

  // A file name given as UTF-8 text (a command line) in this file system's
  // form; nothing when it has no such form.
  virtual std::optional<std::string> PathFromUtf8(const std::string& name) = 0;
  // Empty when it cannot be said in this file system's form.
  virtual std::string CurrentDirectory() = 0;
  // Changes the process's current directory (and drive); false when it stays.
  virtual bool ChangeDirectory(const std::string& path) = 0;
};

// Reads until `count` bytes arrived or a read brings none: one read may
// deliver less than asked. The number of bytes that arrived; `ended` (when
// given) tells that the file ended, not that a read failed.
size_t ReadUntilFull(FileSystem& files, FileSystem::Handle file, void* buffer, size_t count,
                     bool* ended = nullptr);

// Holds LockForChange for one scope.
class ChangeLock {
 public:
  ChangeLock(FileSystem& files, const std::string& path)
      : files_(files), lock_(files.LockForChange(path)) {}
  ~ChangeLock() {
    if (lock_ != FileSystem::kNoHandle) files_.Unlock(lock_);
  }
  ChangeLock(const ChangeLock&) = delete;
  ChangeLock& operator=(const ChangeLock&) = delete;

  bool held() const { return lock_ != FileSystem::kNoHandle; }

 private:
  FileSystem& files_;
  FileSystem::Handle lock_;
};

}  // namespace cfg
