#include "settings/file_system_win32.h"

#include <windows.h>

#include <cwctype>
#include <set>

#include "settings/text_codec.h"
#include "settings/text_codec_win32.h"

namespace cfg {

namespace {

// Opened only to ask where it is: nobody else is kept from anything.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Win32 has no code for "not a regular file"; this one says it best.
constexpr DWORD kNotRegularFile = ERROR_BAD_FILE_TYPE;
// The read-only attribute, told apart from every other refusal.
constexpr DWORD kReadOnlyAttribute = ERROR_FILE_READ_ONLY;
// The change lock could not be taken: held too long, or by a user we may not see.
constexpr DWORD kLockUnavailable = ERROR_BUSY;
constexpr DWORD kLockWaitMs = 5000;
constexpr DWORD kSystemTextLength = 512;
constexpr wchar_t kLockNamePrefix[] = L"KVsetChangeLock-";
// Wine's ReplaceFileW makes an empty file of this pattern beside the old one,
// and leaves it there when the replace fails.
constexpr wchar_t kReplaceLitter[] = L"rf*.tmp";
constexpr uint64_t kFnvOffset = 0xCBF29CE484222325ull;
constexpr uint64_t kFnvPrime = 0x100000001B3ull;

FileSystem::Handle FromWin32(HANDLE handle) {
  return handle == INVALID_HANDLE_VALUE || handle == nullptr
             ? FileSystem::kNoHandle
             : reinterpret_cast<FileSystem::Handle>(handle);
}

HANDLE ToWin32(FileSystem::Handle file) {
  return reinterpret_cast<HANDLE>(file);
}

std::wstring FullPathOf(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  return full;
}

// The empty files of kReplaceLitter's pattern in the folder of `path`, by full path.
std::set<std::wstring> EmptyReplaceFiles(const std::wstring& path) {
  const std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
  std::set<std::wstring> found;
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileExW((folder + kReplaceLitter).c_str(), FindExInfoBasic, &entry,
                                         FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    if (entry.nFileSizeLow == 0 && entry.nFileSizeHigh == 0) found.insert(folder + entry.cFileName);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return found;
}

// "\\?\C:\x" as "C:\x", "\\?\UNC\server\x" as "\\server\x".
std::wstring WithoutLongPathPrefix(const std::wstring& path) {
  constexpr std::wstring_view kPrefix = L"\\\\?\\";
  constexpr std::wstring_view kUncPrefix = L"\\\\?\\UNC\\";
  if (path.compare(0, kUncPrefix.size(), kUncPrefix) == 0) {
    return L"\\\\" + path.substr(kUncPrefix.size());
  }
  if (path.compare(0, kPrefix.size(), kPrefix) == 0) return path.substr(kPrefix.size());
  return path;
}

// One name for one file however its path is spelt: full, upper case, hashed
// (a mutex name may hold no backslash and is limited in length).
std::wstring LockName(const std::wstring& path) {
  std::wstring full = FullPathOf(path);
  CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
  uint64_t hash = kFnvOffset;
  for (const wchar_t c : full) {
    hash = (hash ^ static_cast<uint16_t>(c)) * kFnvPrime;
  }
  wchar_t digits[17];
  for (int i = 15; i >= 0; --i, hash >>= 4) digits[i] = L"0123456789ABCDEF"[hash & 0xF];
  digits[16] = L'\0';
  return kLockNamePrefix + std::wstring(digits);
}

// Another program holds the file or the folder entry, perhaps only for a moment.
bool IsHeldByAnother(DWORD error) {
  switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
    case ERROR_DELETE_PENDING:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
      return true;
    default:
      return false;
  }
}

FileError CauseOf(DWORD error) {
  if (IsHeldByAnother(error)) return FileError::kInUse;
  switch (error) {
    case ERROR_SUCCESS:
      return FileError::kNone;
    case kReadOnlyAttribute:
      return FileError::kReadOnly;
    // Folder permissions, Controlled Folder Access, a file being deleted or
    // held: the read-only attribute was looked at before.
    case ERROR_ACCESS_DENIED:
      return FileError::kDenied;
    case kLockUnavailable:
      return FileError::kInUse;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
      return FileError::kNoFolder;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return FileError::kDiskFull;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return FileError::kExists;
    case kNotRegularFile:
      return FileError::kNotAFile;
    default:
      return FileError::kOther;
  }
}

// What a scanner, the indexer or a sync tool holding the file for a moment
// makes the calls fail with: ReplaceFileW, MoveFileExW and DeleteFileW are
// worth trying again for a while.
bool IsTransient(DWORD error) {
  return IsHeldByAnother(error) || error == ERROR_ACCESS_DENIED;
}

// The system's own words for the error, in UTF-8: code page 932 would lose
// them on a Windows of another language.
std::string SystemText(DWORD error) {
  wchar_t text[kSystemTextLength];
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                error, 0, text, kSystemTextLength, nullptr);
  while (length > 0 && std::iswspace(text[length - 1])) --length;
  return Utf8FromWide(std::wstring(text, length));
}

// The current directory in code page 932; its short (8.3) name when a
// character has no CP932 form (Hangul, most accented letters, 〜), empty when
// neither can be said.
std::string Cp932Directory(const std::wstring& directory) {
  if (std::optional<std::string> exact = ExactCp932FromWide(directory)) return *exact;
  const DWORD size = GetShortPathNameW(directory.c_str(), nullptr, 0);
  std::wstring shortName(size, L'\0');
  const DWORD length = GetShortPathNameW(directory.c_str(), shortName.data(), size);
  shortName.resize(length < size ? length : 0);
  return shortName.empty() ? std::string() : ExactCp932FromWide(shortName).value_or(std::string());
}

}  // namespace

std::string FullPath(const std::string& path) {
  return Cp932FromWide(FullPathOf(WideFromCp932(path)));
}

template <typename T>
T WinFileSystem::Failed(T result) {
  return Failed(result, GetLastError());
}

FileSystem::Handle WinFileSystem::FileOpenRead(const std::string& path) {
  const HANDLE file = CreateFileW(WideFromCp932(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (FromWin32(file) == kNoHandle) return Failed(kNoHandle);
  // A pipe or a device is no settings file.
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return Failed(kNoHandle, kNotRegularFile);
  }
  return FromWin32(file);
}

FileSystem::Handle WinFileSystem::FileCreateNew(const std::string& path) {
  const Handle file = FromWin32(CreateFileW(WideFromCp932(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file == kNoHandle) return Failed(kNoHandle);
  writing_.insert(file);
  return file;
}

std::string WinFileSystem::TemporaryPathBeside(const std::string& path) {
  return path + "." + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(temporaryCount_++) + ".tmp";
}

// ReplaceFileW carries the old file's attributes and security over.
bool WinFileSystem::FileTakeIdentity(Handle, const std::string&) {
  return true;
}

uint32_t WinFileSystem::FileRead(Handle file, void* buffer, uint32_t count) {
  DWORD read = 0;
  if (!ReadFile(ToWin32(file), buffer, count, &read, nullptr)) return Failed(0u);
  if (read == 0) error_ = ERROR_SUCCESS;
  return read;
}

uint32_t WinFileSystem::FileWrite(Handle file, const void* buffer, uint32_t count) {
  DWORD written = 0;
  if (!WriteFile(ToWin32(file), buffer, count, &written, nullptr)) return Failed(0u);
  // A file takes fewer bytes than given only when its disk is full.
  if (written < count) error_ = ERROR_DISK_FULL;
  return written;
}

bool WinFileSystem::FileClose(Handle file) {
  const bool flushed = writing_.erase(file) == 0 || FlushFileBuffers(ToWin32(file));
  if (!flushed) error_ = GetLastError();
  return CloseHandle(ToWin32(file)) && flushed;
}

uint64_t WinFileSystem::FileGetSize(Handle file) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(ToWin32(file), &size)) return Failed(kUnknownSize);
  return static_cast<uint64_t>(size.QuadPart);
}

// A link is followed to the file it leads to; any other path stays as it is.
// Wine shows a POSIX symbolic link as no reparse point, so the file's final
// name is asked for whatever the path is.
std::string WinFileSystem::FinalPath(const std::string& path) {
  const std::wstring wide = WideFromCp932(path);
  const HANDLE file = CreateFileW(wide.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return path;
  const DWORD size = GetFinalPathNameByHandleW(file, nullptr, 0, FILE_NAME_NORMALIZED);
  std::wstring target(size, L'\0');
  const DWORD length = GetFinalPathNameByHandleW(file, target.data(), size, FILE_NAME_NORMALIZED);
  CloseHandle(file);
  if (length == 0 || length >= size) return path;
  target.resize(length);
  const std::wstring plain = WithoutLongPathPrefix(target);
  if (CompareStringOrdinal(plain.c_str(), -1, FullPathOf(wide).c_str(), -1, TRUE) == CSTR_EQUAL) {
    return path;
  }
  const std::string narrow = Cp932FromWide(plain);
  // A target whose name code page 932 cannot carry is not followed.
  return WideFromCp932(narrow) == plain ? narrow : path;
}

// ReplaceFileW opens the old file to delete it. A program that holds it
// without sharing that makes the replace fail, leaving files behind (Wine's
// temporary file); asked first, it leaves nothing.
bool WinFileSystem::FileCanReplace(const std::string& to) {
  const std::wstring target = WideFromCp932(to);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;  // a move, or the create tells
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return Failed(false, kNotRegularFile);
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return Failed(false, kReadOnlyAttribute);
  const HANDLE file = CreateFileW(target.c_str(), GENERIC_READ | DELETE, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Failed(false);
  CloseHandle(file);
  return true;
}

bool WinFileSystem::FileReplace(const std::string& from, const std::string& to) {
  const std::wstring source = WideFromCp932(from);
  const std::wstring target = WideFromCp932(to);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  // No file yet: a move, which fails rather than replace one made meanwhile.
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0 ||
           Failed(false);
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return Failed(false, kNotRegularFile);
  // Wine replaces a read-only target; the program must not.
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return Failed(false, kReadOnlyAttribute);
  // Wine's ReplaceFileW finds no folder for a path without one. After 1176
  // (no backup name) the old file is gone and the new one kept its own name:
  // the next try finds no target and moves.
  const std::wstring fullTarget = FullPathOf(target);
  const std::set<std::wstring> before = EmptyReplaceFiles(fullTarget);
  if (ReplaceFileW(fullTarget.c_str(), FullPathOf(source).c_str(), nullptr,
                   REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    return true;
  }
  const DWORD error = GetLastError();
  // What the failed call made is removed; what was there before stays.
  for (const std::wstring& made : EmptyReplaceFiles(fullTarget)) {
    if (before.count(made) == 0) DeleteFileW(made.c_str());
  }
  return Failed(false, error);
}

bool WinFileSystem::FileDelete(const std::string& path) {
  return DeleteFileW(WideFromCp932(path).c_str()) != 0 || Failed(false);
}

FileSystem::Handle WinFileSystem::LockForChange(const std::string& path) {
  // A mutex of another user or of an elevated program cannot be opened.
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, LockName(WideFromCp932(path)).c_str());
  if (mutex == nullptr) return Failed(kNoHandle, kLockUnavailable);
  // The wait is bounded: it runs on the thread of the program's windows. An
  // abandoned mutex was held by a program that ended: the right is ours.
  const DWORD waited = WaitForSingleObject(mutex, kLockWaitMs);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    CloseHandle(mutex);
    return Failed(kNoHandle, kLockUnavailable);
  }
  return FromWin32(mutex);
}

void WinFileSystem::Unlock(Handle lock) {
  ReleaseMutex(ToWin32(lock));
  CloseHandle(ToWin32(lock));
}

FileFault WinFileSystem::LastFault() {
  FileFault fault;
  fault.cause = CauseOf(error_);
  if (fault.cause != FileError::kNone) fault.systemText = SystemText(error_);
  fault.transient = IsTransient(error_);
  return fault;
}

void WinFileSystem::Pause(unsigned milliseconds) {
  Sleep(milliseconds);
}

std::optional<std::string> WinFileSystem::PathFromUtf8(const std::string& name) {
  return Cp932FromUtf8(name);
}

std::string WinFileSystem::CurrentDirectory() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  std::wstring directory(size, L'\0');
  const DWORD length = GetCurrentDirectoryW(size, directory.data());
  directory.resize(length < size ? length : 0);
  return Cp932Directory(directory);
}

bool WinFileSystem::ChangeDirectory(const std::string& path) {
  // Unlike a C runtime chdir, this also makes the path's drive the current one.
  return SetCurrentDirectoryW(WideFromCp932(path).c_str()) != 0;
}

}  // namespace cfg
