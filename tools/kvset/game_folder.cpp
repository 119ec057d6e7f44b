#include "tools/kvset/game_folder.h"

#include "settings/local_config.h"
#include "settings/settings_folders.h"
#include "settings/settings_store.h"
#include "tools/kvset/local_config_check.h"

namespace cfg {

GameLookup FindGameFile(FileSystem& files) {
  GameLookup file;
  const std::string gameFolder = files.CurrentDirectory();
  file.localConfigFindings = CheckLocalConfig(files);
  files.ChangeDirectory(gameFolder);
  for (const std::string& settingsFolder : SettingsFolders(ReadLocalConfig(files))) {
    file.path = SettingsFilePath(settingsFolder);
    const FileSystem::Handle opened = files.FileOpenRead(file.path);
    file.found = opened != FileSystem::kNoHandle;
    if (!file.found) continue;
    files.FileClose(opened);
    break;
  }
  return file;
}

}  // namespace cfg
