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
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

// Splits on separators, keeping double-byte characters whole.
std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    if (IsLeadByte(static_cast<uint8_t>(c)) && i + 1 < path.size()) {
      parts.back() += c;
      parts.back() += path[++i];
    } else if (IsSeparator(c)) {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

// Folds "." and ".." into `names`; ".." at the root stays at the root.
void AppendNames(std::vector<std::string>& names, const std::string& path) {
  for (const std::string& part : SplitPath(path)) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!names.empty()) names.pop_back();
    } else {
      names.push_back(part);
    }
  }
}

std::string JoinPath(const std::string& drive, const std::vector<std::string>& names) {
  std::string key = drive + "\\";
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) key += '\\';
    key += names[i];
  }
  return key;
}

// The folder of an absolute key, or the key itself for a drive's root.
std::string ParentOf(const std::string& key) {
  const std::vector<std::string> parts = SplitPath(key);
  std::vector<std::string> names(parts.begin() + 1, parts.end());
  if (!names.empty() && names.back().empty()) names.pop_back();
  if (!names.empty()) names.pop_back();
  return JoinPath(parts.front(), names);
}

}  // namespace

MemoryFileSystem::MemoryFileSystem(const std::string& currentDirectory) {
  current_ = HasDrive(currentDirectory) ? currentDirectory.substr(0, 2) + "\\" : "C:\\";
  current_ = Absolute(currentDirectory);
  AddDirectory(current_);
}

std::string MemoryFileSystem::Absolute(const std::string& path) const {
  std::string drive = current_.substr(0, 2);
  std::string rest = path;
  std::vector<std::string> names;
  AppendNames(names, current_.substr(2));
  if (HasDrive(path)) {
    const std::string named = path.substr(0, 2);
    rest = path.substr(2);
    if (named != drive) names.clear();
    drive = named;
  }
  if (!rest.empty() && IsSeparator(rest[0])) names.clear();
  AppendNames(names, rest);
  return JoinPath(drive, names);
}

void MemoryFileSystem::AddDirectory(const std::string& path) {
  std::string key = Absolute(path);
  while (directories_.insert(key).second) {
    const std::string parent = ParentOf(key);
    if (parent == key) break;
    key = parent;
  }
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

void MemoryFileSystem::FailNext(FileOperation operation, int times) {
  failures_[operation] += times;
}

void MemoryFileSystem::ShortenNextWrite(uint32_t bytes) {
  shortWrite_ = bytes;
}

void MemoryFileSystem::LimitReadsTo(uint32_t bytes) {
  readLimit_ = bytes;
}

void MemoryFileSystem::StopAfterCalls(size_t calls) {
  callsLeft_ = calls;
}

bool MemoryFileSystem::HasFile(const std::string& path) const {
  return files_.count(Absolute(path)) != 0;
}

bool MemoryFileSystem::HasDirectory(const std::string& path) const {
  return directories_.count(Absolute(path)) != 0;
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
  calls_.push_back({operation, path, target});
  if (callsLeft_) {
    if (*callsLeft_ == 0) {
      stopped_ = true;
      return Failed(false, FileError::kOther);
    }
    --*callsLeft_;
  }
  int& failures = failures_[operation];
  if (failures > 0) {
    --failures;
    return Failed(false, FileError::kOther);
  }
  return true;
}

bool MemoryFileSystem::ParentExists(const std::string& key) const {
  return directories_.count(ParentOf(key)) != 0;
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

FileSystem::Handle MemoryFileSystem::FileOpenRead(const std::string& path) {
  if (!Admit(FileOperation::kOpenRead, path)) return kNoHandle;
  const std::string key = Absolute(path);
  const StoredFile* file = FindFile(key);
  if (file == nullptr) return Failed(kNoHandle, FileError::kNoFolder);
  if (file->locked) return Failed(kNoHandle, FileError::kInUse);
  handles_[nextHandle_] = {key, false, 0};
  return nextHandle_++;
}

FileSystem::Handle MemoryFileSystem::FileCreateNew(const std::string& path) {
  if (!Admit(FileOperation::kCreateNew, path)) return kNoHandle;
  const std::string key = Absolute(path);
  if (!ParentExists(key)) return Failed(kNoHandle, FileError::kNoFolder);
  if (directories_.count(key) != 0 || files_.count(key) != 0) {
    return Failed(kNoHandle, FileError::kExists);
  }
  files_[key];
  handles_[nextHandle_] = {key, true, 0};
  return nextHandle_++;
}

std::string MemoryFileSystem::TemporaryPathBeside(const std::string& path) {
  return path + ".~" + std::to_string(temporaryCount_++) + ".tmp";
}

bool MemoryFileSystem::FileTakeIdentity(Handle file, const std::string& original) {
  if (!Admit(FileOperation::kTakeIdentity, original)) return false;
  return FindHandle(file) != nullptr;
}

uint32_t MemoryFileSystem::FileRead(Handle file, void* buffer, uint32_t count) {
  if (!Admit(FileOperation::kRead)) return 0;
  OpenFile* open = FindHandle(file);
  if (open == nullptr || open->forWriting) return Failed(0u, FileError::kOther);
  const StoredFile* stored = FindFile(open->key);
  if (stored == nullptr) return Failed(0u, FileError::kOther);
  if (open->position >= stored->bytes.size()) return Failed(0u, FileError::kNone);
  size_t n = std::min<size_t>(count, stored->bytes.size() - open->position);
  if (readLimit_ != 0) n = std::min<size_t>(n, readLimit_);
  std::memcpy(buffer, stored->bytes.data() + open->position, n);
  open->position += n;
  return static_cast<uint32_t>(n);
}

uint32_t MemoryFileSystem::FileWrite(Handle file, const void* buffer, uint32_t count) {
  if (!Admit(FileOperation::kWrite)) return 0;
  OpenFile* open = FindHandle(file);
  if (open == nullptr || !open->forWriting) return Failed(0u, FileError::kOther);
  StoredFile* stored = FindFile(open->key);
  if (stored == nullptr) return Failed(0u, FileError::kOther);
  uint32_t n = count;
  if (shortWrite_) {
    n = std::min(n, *shortWrite_);
    shortWrite_.reset();
    lastError_ = FileError::kDiskFull;
  }
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  if (stored->bytes.size() < open->position + n) stored->bytes.resize(open->position + n);
  std::copy(bytes, bytes + n, stored->bytes.begin() + static_cast<ptrdiff_t>(open->position));
  open->position += n;
  return n;
}

bool MemoryFileSystem::FileClose(Handle file) {
  const bool admitted = Admit(FileOperation::kClose);
  // A killed process closes nothing; an injected failure still releases the handle.
  if (stopped_) return false;
  return handles_.erase(file) != 0 && admitted;
}

uint64_t MemoryFileSystem::FileGetSize(Handle file) {
  if (!Admit(FileOperation::kGetSize)) return kUnknownSize;
  OpenFile* open = FindHandle(file);
  if (open == nullptr) return Failed(kUnknownSize, FileError::kOther);
  const StoredFile* stored = FindFile(open->key);
  return stored == nullptr ? Failed(kUnknownSize, FileError::kOther) : stored->bytes.size();
}

bool MemoryFileSystem::FileReplace(const std::string& from, const std::string& to) {
  if (!Admit(FileOperation::kReplace, from, to)) return false;
  const std::string source = Absolute(from);
  const std::string target = Absolute(to);
  const StoredFile* moving = FindFile(source);
  if (moving == nullptr) return Failed(false, FileError::kOther);
  if (moving->locked || IsOpen(source) || IsOpen(target)) return Failed(false, FileError::kInUse);
  if (!ParentExists(target)) return Failed(false, FileError::kNoFolder);
  if (directories_.count(target) != 0) return Failed(false, FileError::kNotAFile);
  const StoredFile* replaced = FindFile(target);
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

void MemoryFileSystem::Unlock(Handle) {
  lockHeld_ = false;
}

std::string MemoryFileSystem::CurrentDirectory() {
  if (!Admit(FileOperation::kCurrentDirectory)) return {};
  return current_;
}

bool MemoryFileSystem::ChangeDirectory(const std::string& path) {
  if (!Admit(FileOperation::kChangeDirectory, path)) return false;
  const std::string key = Absolute(path);
  if (directories_.count(key) == 0) return false;
  current_ = key;
  return true;
}

}  // namespace cfg
