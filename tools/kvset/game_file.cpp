#include "tools/kvset/game_file.h"

#include <algorithm>

#include "settings/local_config.h"
#include "settings/settings_folders.h"
#include "settings/settings_store.h"
#include "tools/kvset/ascii_case.h"

namespace cfg {
namespace {

constexpr char kDataFolderName[] = "data";
constexpr char kLocalConfigFile[] = "LocalConfig\\KV.set";

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool IsDataFolderName(const std::string& name) {
  return EqualsIgnoringCase(name, kDataFolderName);
}

// The position after the last separator before `end`, or 0.
size_t NameStart(const std::string& path, size_t end) {
  // CP932 trail bytes never equal a separator's byte but for 0x5C; a name
  // ending in such a character only misses the warning.
  while (end > 0 && !IsSeparator(path[end - 1])) --end;
  return end;
}

}  // namespace

bool FileOpens(FileSystem& files, const std::string& path) {
  const FileSystem::Handle file = files.FileOpenRead(path);
  if (file == FileSystem::kNoHandle) return false;
  files.FileClose(file);
  return true;
}

GameFile FindGameFile(FileSystem& files) {
  GameFile file;
  for (const std::string& settingsFolder : SettingsFolders(ReadLocalConfig(files))) {
    file.path = SettingsFilePath(settingsFolder);
    file.found = FileOpens(files, file.path);
    if (file.found) break;
  }
  return file;
}

std::optional<std::string> ShadowingFile(FileSystem& files, const std::string& path) {
  const size_t fileStart = NameStart(path, path.size());
  if (fileStart == 0) return std::nullopt;
  const size_t folderStart = NameStart(path, fileStart - 1);
  if (!IsDataFolderName(path.substr(folderStart, fileStart - 1 - folderStart))) return std::nullopt;
  // In the path's own separator.
  std::string shadowing = path.substr(0, folderStart) + kLocalConfigFile;
  std::replace(shadowing.begin() + folderStart, shadowing.end(), '\\', path[fileStart - 1]);
  if (!FileOpens(files, shadowing)) return std::nullopt;
  return shadowing;
}

}  // namespace cfg
