#include "settings/file_system_win32.h"

#include <windows.h>

#include "settings/text_codec_win32.h"

namespace cfg {

namespace {

FileSystem::Handle FromWin32(HANDLE handle) {
  return handle == INVALID_HANDLE_VALUE ? FileSystem::kNoHandle
                                        : reinterpret_cast<FileSystem::Handle>(handle);
}

HANDLE ToWin32(FileSystem::Handle file) {
  return reinterpret_cast<HANDLE>(file);
}

bool IsReadOnly(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

}  // namespace

FileSystem::Handle WinFileSystem::FileOpenRead(const std::string& path) {
  return FromWin32(CreateFileW(WideFromCp932(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

FileSystem::Handle WinFileSystem::FileCreateWrite(const std::string& path) {
  const Handle file =
      FromWin32(CreateFileW(WideFromCp932(path).c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file != kNoHandle) writing_.insert(file);
  return file;
}

uint32_t WinFileSystem::FileRead(Handle file, void* buffer, uint32_t count) {
  DWORD read = 0;
  return ReadFile(ToWin32(file), buffer, count, &read, nullptr) ? read : 0;
}

uint32_t WinFileSystem::FileWrite(Handle file, const void* buffer, uint32_t count) {
  DWORD written = 0;
  return WriteFile(ToWin32(file), buffer, count, &written, nullptr) ? written : 0;
}

bool WinFileSystem::FileClose(Handle file) {
  const bool flushed = writing_.erase(file) == 0 || FlushFileBuffers(ToWin32(file));
  return CloseHandle(ToWin32(file)) && flushed;
}

uint32_t WinFileSystem::FileGetSize(Handle file) {
  return GetFileSize(ToWin32(file), nullptr);
}

bool WinFileSystem::FileReplace(const std::string& from, const std::string& to) {
  const std::wstring target = WideFromCp932(to);
  // Wine's MoveFileEx replaces a read-only target; a target held open by another
  // program makes the move itself fail.
  if (IsReadOnly(target)) return false;
  return MoveFileExW(WideFromCp932(from).c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool WinFileSystem::FileDelete(const std::string& path) {
  return DeleteFileW(WideFromCp932(path).c_str()) != 0;
}

std::string WinFileSystem::CurrentDirectory() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  std::wstring directory(size, L'\0');
  const DWORD length = GetCurrentDirectoryW(size, directory.data());
  directory.resize(length < size ? length : 0);
  return Cp932FromWide(directory);
}

bool WinFileSystem::ChangeDirectory(const std::string& path) {
  // Unlike a C runtime chdir, this also makes the path's drive the current one.
  return SetCurrentDirectoryW(WideFromCp932(path).c_str()) != 0;
}

}  // namespace cfg
