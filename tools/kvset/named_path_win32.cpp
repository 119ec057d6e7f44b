#include <windows.h>

#include "settings/text_codec.h"
#include "settings/text_codec_win32.h"
#include "tools/kvset/named_path.h"

namespace cfg {
namespace {

// The volume and the file's index: one pair a file.
bool IdentityOf(const std::string& path, BY_HANDLE_FILE_INFORMATION& identity) {
  const HANDLE file = CreateFileW(WideFromCp932(path).c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool known = GetFileInformationByHandle(file, &identity) != 0;
  CloseHandle(file);
  return known;
}

}  // namespace

bool IsSameFile(const std::string& first, const std::string& second) {
  BY_HANDLE_FILE_INFORMATION a;
  BY_HANDLE_FILE_INFORMATION b;
  return IdentityOf(first, a) && IdentityOf(second, b) &&
         a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

std::string Utf8OfNamedPath(const std::string& path) {
  return Utf8FromCp932(path).value_or(path);
}

}  // namespace cfg
