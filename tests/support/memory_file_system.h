// An in-memory FileSystem for unit tests: files, folders and a current
// directory, with faults that can be injected call by call.
//
// Paths are CP932 byte strings as the program writes them. Every path is
// resolved against the current directory into an absolute key such as
// "C:\Game\Data\KV.set": ".\" and "..\" are folded, "\x" starts at the root
// of the current drive, "D:\x" is absolute, '/' counts as '\', and double-byte
// characters are kept whole (a 0x5C second byte is not a separator). Names
// keep their case as written: "KV.set" and "kv.set" are two files.
//
// Typical use:
//   MemoryFileSystem files("C:\\Game");          // C:\Game exists and is current
//   files.AddDirectory("Data");                  // C:\Game\Data
//   files.SetFile(".\\Data\\KV.set", bytes);
//   files.FailNext(FileOperation::kReplace);     // the next FileReplace fails
//   ... run the code under test ...
//   files.FileBytes("Data\\KV.set"), files.ListFiles(), files.calls()
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "settings/file_system.h"

namespace cfg {

enum class FileOperation {
  kOpenRead,
  kCreateNew,
  kTakeIdentity,
  kRead,
  kWrite,
  kClose,
  kGetSize,
  kReplace,
  kDelete,
  kLock,
  kCurrentDirectory,
  kChangeDirectory,
};

// One FileSystem call as the fake saw it; `path` is the argument as given
// (for FileReplace the source; `target` is its destination), empty for calls
// that take a handle.
struct FileCall {
  FileOperation operation;
  std::string path;
  std::string target;
};

class MemoryFileSystem : public FileSystem {
 public:
  // The current directory is created (with its parents) and made current.
  explicit MemoryFileSystem(const std::string& currentDirectory = "C:\\Game");

  // --- Setting up -----------------------------------------------------------
  // Creates the folder and every missing parent.
  void AddDirectory(const std::string& path);
  // Creates or replaces a file; its folder and the folder's parents are created.
  void SetFile(const std::string& path, const std::vector<uint8_t>& bytes);
  void SetFile(const std::string& path, const std::string& bytes);
  // A read-only file can be opened for reading but not created over, replaced
  // or deleted.
  void SetReadOnly(const std::string& path, bool readOnly = true);
  // A locked file is held by another program: every open, replace or delete fails.
  void SetLocked(const std::string& path, bool locked = true);
  // Runs once LockForChange has been granted, as another program's writes
  // that waited for the lock would.
  void OnNextLock(std::function<void()> action) { onLock_ = std::move(action); }

  // --- Faults ---------------------------------------------------------------
  // The next `times` calls of the operation fail (none, 0 bytes or false)
  // without any effect.
  void FailNext(FileOperation operation, int times = 1);
  // The next FileWrite stores only the first `bytes` bytes and reports that count.
  void ShortenNextWrite(uint32_t bytes);
  // Every FileRead delivers at most `bytes` bytes (0: no limit).
  void LimitReadsTo(uint32_t bytes);
  // The process "dies" after `calls` more calls: every later call fails and
  // changes nothing, so the files show what a killed program left behind.
  void StopAfterCalls(size_t calls);

  // --- Looking back ---------------------------------------------------------
  bool HasFile(const std::string& path) const;
  bool HasDirectory(const std::string& path) const;
  // The file's bytes, or nothing when there is no such file.
  std::optional<std::vector<uint8_t>> FileBytes(const std::string& path) const;
  // Absolute keys of every file, in byte order.
  std::vector<std::string> ListFiles() const;
  // Every call made so far, in order (calls after a stop included).
  const std::vector<FileCall>& calls() const { return calls_; }
  // The number of handles still open.
  size_t OpenHandleCount() const { return handles_.size(); }
  bool LockHeld() const { return lockHeld_; }
  // Resolves a path as the fake does (for comparing with ListFiles()).
  std::string Absolute(const std::string& path) const;

  // --- FileSystem -----------------------------------------------------------
  Handle FileOpenRead(const std::string& path) override;
  Handle FileCreateNew(const std::string& path) override;
  // The path followed by ".~N.tmp", N counting the calls.
  std::string TemporaryPathBeside(const std::string& path) override;
  bool FileTakeIdentity(Handle file, const std::string& original) override;
  uint32_t FileRead(Handle file, void* buffer, uint32_t count) override;
  uint32_t FileWrite(Handle file, const void* buffer, uint32_t count) override;
  bool FileClose(Handle file) override;
  uint64_t FileGetSize(Handle file) override;
  // The path itself: the fake has no links.
  std::string FinalPath(const std::string& path) override { return path; }
  bool FileReplace(const std::string& from, const std::string& to) override;
  bool FileDelete(const std::string& path) override;
  Handle LockForChange(const std::string& path) override;
  void Unlock(Handle lock) override;
  FileFault LastFault() override { return {lastError_, {}}; }
  std::optional<std::string> PathFromUtf8(const std::string& name) override { return name; }
  std::string CurrentDirectory() override;
  bool ChangeDirectory(const std::string& path) override;

 private:
  struct StoredFile {
    std::vector<uint8_t> bytes;
    bool readOnly = false;
    bool locked = false;
  };
  struct OpenFile {
    std::string key;
    bool forWriting = false;
    size_t position = 0;
  };

  // Logs the call and answers whether it may take effect; an injected
  // failure is reported as kOther.
  bool Admit(FileOperation operation, const std::string& path = {}, const std::string& target = {});
  bool ParentExists(const std::string& key) const;
  StoredFile* FindFile(const std::string& key);
  OpenFile* FindHandle(Handle file);
  bool IsOpen(const std::string& key) const;
  // Records the cause of a failure; returns `result` for brevity.
  template <typename T>
  T Failed(T result, FileError cause) {
    lastError_ = cause;
    return result;
  }

  std::string current_;
  std::set<std::string> directories_;
  std::map<std::string, StoredFile> files_;
  std::map<Handle, OpenFile> handles_;
  Handle nextHandle_ = 1;
  std::map<FileOperation, int> failures_;
  std::optional<uint32_t> shortWrite_;
  uint32_t readLimit_ = 0;
  std::optional<size_t> callsLeft_;
  bool stopped_ = false;
  std::vector<FileCall> calls_;
  FileError lastError_ = FileError::kNone;
  unsigned temporaryCount_ = 0;
  bool lockHeld_ = false;
  std::function<void()> onLock_;
};

}  // namespace cfg
