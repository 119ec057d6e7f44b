#include "tests/support/memory_file_system.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "settings/folder_path.h"

namespace cfg {
namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool HasDrive(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<uint8_t>(path[0]));
}

}  // namespace

MemoryFileSystem::MemoryFileSystem(const std::string& currentDirectory)
    : current_(HasDrive(currentDirectory) ? currentDirectory.substr(0, 2) + "\\" : "C:\\") {
  current_ = Absolute(currentDirectory);
  AddDirectory(current_);
}

std::string MemoryFileSystem::Absolute(const std::string& path) const {
  const std::string drive = HasDrive(path) ? path.substr(0, 2) : current_.substr(0, 2);
  std::string rest = HasDrive(path) ? path.substr(2) : path;
  // Relative to the current directory unless rooted or on another drive.
  if (drive == current_.substr(0, 2) && (rest.empty() || !IsSeparator(rest[0]))) {
    rest = current_.substr(2) + "\\" + rest;
  }
  std::vector<std::string> names;
  std::string name;
  const auto endName = [&] {
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.push_back(name);
    }
    name.clear();
  };
  for (size_t i = 0; i < rest.size(); ++i) {
    if (IsLeadByte(static_cast<uint8_t>(rest[i])) && i + 1 < rest.size()) {
      name += rest[i++];
      name += rest[i];
    } else if (IsSeparator(rest[i])) {
      endName();
    } else {
      name += rest[i];
    }
  }
  endName();
  std::string key = drive + "\\";
  for (size_t i = 0; i < names.size(); ++i) key += (i > 0 ? "\\" : "") + names[i];
  return key;
}

void MemoryFileSystem::AddDirectory(const std::string& path) {
  for (std::string key = Absolute(path); directories_.insert(key).second;) key = ParentOf(key);
}

void MemoryFileSystem::SetFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  const std::string key = Absolute(path);
  AddDirectory(ParentOf(key));
  files_[key].bytes = bytes;
}

void MemoryFileSystem::SetFile(const std::string& path, const std::string& bytes) {
  SetFile(path, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

void MemoryFileSystem::SetReadOnly(const std::string& path, bool readOnly) {
  if (StoredFile* file = FindFile(Absolute(path))) file->readOnly = readOnly;
}

void MemoryFileSystem::SetLocked(const std::string& path, bool locked) {
  if (StoredFile* file = FindFile(Absolute(path))) file->locked = locked;
}

std::optional<std::vector<uint8_t>> MemoryFileSystem::FileBytes(const std::string& path) const {
  const auto found = files_.find(Absolute(path));
  if (found == files_.end()) return std::nullopt;
  return found->second.bytes;
}

std::vector<std::string> MemoryFileSystem::ListFiles() const {
  std::vector<std::string> keys;
  for (const auto& entry : files_) keys.push_back(entry.first);
  return keys;
}

bool MemoryFileSystem::Admit(FileOperation operation, const std::string& path,
                             const std::string& target) {
  calls_.push_back({operation, path, target, lockHeld_});
  if (callsLeft_) {
    if (*callsLeft_ == 0)
      stopped_ = true;
    else
      --*callsLeft_;
  }
  int& failures = failures_[operation];
  if (stopped_ || failures > 0) {
    if (!stopped_) --failures;
    return Failed(false, FileError::kOther);
  }
  return true;
}

MemoryFileSystem::StoredFile* MemoryFileSystem::FindFile(const std::string& key) {
  const auto found = files_.find(key);
  return found == files_.end() ? nullptr : &found->second;
}

MemoryFileSystem::OpenFile* MemoryFileSystem::FindHandle(Handle file) {
  const auto found = handles_.find(file);
  return found == handles_.end() ? nullptr : &found->second;
}

bool MemoryFileSystem::IsOpen(const std::string& key) const {
  return std::any_of(handles_.begin(), handles_.end(),
                     [&](const auto& entry) { return entry.second.key == key; });
}

FileSystem::Handle MemoryFileSystem::Open(const std::string& key, bool forWriting) {
  handles_[nextHandle_] = {key, forWriting, 0};
  return nextHandle_++;
}

FileSystem::Handle MemoryFileSystem::FileOpenRead(const std::string& path) {
  if (!Admit(FileOperation::kOpenRead, path)) return kNoHandle;
  const StoredFile* file = FindFile(Absolute(path));
  if (file == nullptr) return Failed(kNoHandle, FileError::kNoFolder);
  if (file->locked) return Failed(kNoHandle, FileError::kInUse);
  return Open(Absolute(path), false);
}

FileSystem::Handle MemoryFileSystem::FileCreateNew(const std::string& path) {
  if (!Admit(FileOperation::kCreateNew, path)) return kNoHandle;
  const std::string key = Absolute(path);
  if (directories_.count(ParentOf(key)) == 0) return Failed(kNoHandle, FileError::kNoFolder);
  if (directories_.count(key) != 0 || files_.count(key) != 0) {
    return Failed(kNoHandle, FileError::kExists);
  }
  files_[key];
  return Open(key, true);
}

std::string MemoryFileSystem::TemporaryPathBeside(const std::string& path) {
  return path + ".~" + std::to_string(temporaryCount_++) + ".tmp";
}

bool MemoryFileSystem::FileTakeIdentity(Handle file, const std::string& original) {
  return Admit(FileOperation::kTakeIdentity, original) && handles_.count(file) != 0;
}

uint32_t MemoryFileSystem::FileRead(Handle file, void* buffer, uint32_t count) {
  if (!Admit(FileOperation::kRead)) return 0;
  OpenFile* open = FindHandle(file);
  if (open == nullptr || open->forWriting) return Failed(0u, FileError::kOther);
  const std::vector<uint8_t>& bytes = FindFile(open->key)->bytes;
  if (open->position >= bytes.size()) return Failed(0u, FileError::kNone);
  size_t n = std::min<size_t>(count, bytes.size() - open->position);
  if (readLimit_ != 0) n = std::min<size_t>(n, readLimit_);
  std::memcpy(buffer, bytes.data() + open->position, n);
  open->position += n;
  return static_cast<uint32_t>(n);
}

uint32_t MemoryFileSystem::FileWrite(Handle file, const void* buffer, uint32_t count) {
  if (!Admit(FileOperation::kWrite)) return 0;
  OpenFile* open = FindHandle(file);
  if (open == nullptr || !open->forWriting) return Failed(0u, FileError::kOther);
  if (shortWrite_) {
    count = std::min(count, *std::exchange(shortWrite_, std::nullopt));
    lastError_ = FileError::kDiskFull;
  }
  std::vector<uint8_t>& bytes = FindFile(open->key)->bytes;
  bytes.resize(std::max(bytes.size(), open->position + count));
  if (count > 0) std::memcpy(bytes.data() + open->position, buffer, count);
  open->position += count;
  return count;
}

bool MemoryFileSystem::FileClose(Handle file) {
  const bool admitted = Admit(FileOperation::kClose);
  // A killed process closes nothing; an injected failure still releases the handle.
  return !stopped_ && handles_.erase(file) != 0 && admitted;
}

uint64_t MemoryFileSystem::FileGetSize(Handle file) {
  if (!Admit(FileOperation::kGetSize)) return kUnknownSize;
  const OpenFile* open = FindHandle(file);
  if (open == nullptr) return Failed(kUnknownSize, FileError::kOther);
  return FindFile(open->key)->bytes.size();
}

bool MemoryFileSystem::FileReplace(const std::string& from, const std::string& to) {
  if (!Admit(FileOperation::kReplace, from, to)) return false;
  const std::string source = Absolute(from);
  const std::string target = Absolute(to);
  const StoredFile* moving = FindFile(source);
  const StoredFile* replaced = FindFile(target);
  if (moving == nullptr) return Failed(false, FileError::kOther);
  if (moving->locked || IsOpen(source) || IsOpen(target)) return Failed(false, FileError::kInUse);
  if (directories_.count(ParentOf(target)) == 0) return Failed(false, FileError::kNoFolder);
  if (replaced != nullptr && replaced->readOnly) return Failed(false, FileError::kReadOnly);
  if (replaced != nullptr && replaced->locked) return Failed(false, FileError::kInUse);
  files_[target] = *moving;
  if (source != target) files_.erase(source);
  return true;
}

bool MemoryFileSystem::FileDelete(const std::string& path) {
  if (!Admit(FileOperation::kDelete, path)) return false;
  const std::string key = Absolute(path);
  const StoredFile* file = FindFile(key);
  if (file == nullptr || file->readOnly || file->locked || IsOpen(key)) {
    return Failed(false, FileError::kOther);
  }
  files_.erase(key);
  return true;
}

FileSystem::Handle MemoryFileSystem::LockForChange(const std::string& path) {
  if (!Admit(FileOperation::kLock, path)) return kNoHandle;
  lockHeld_ = true;
  if (onLock_) std::exchange(onLock_, nullptr)();
  return 1;
}

bool MemoryFileSystem::ChangeDirectory(const std::string& path) {
  const std::string key = Absolute(path);
  if (directories_.count(key) == 0) return false;
  current_ = key;
  return true;
}

}  // namespace cfg
