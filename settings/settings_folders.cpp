#include "settings/settings_folders.h"

namespace cfg {

std::vector<std::string> SettingsFolders(const std::string& priorDirectory) {
  const std::string localConfig = priorDirectory + kLocalConfigFolderName;
  return {localConfig + "\\", std::string(".\\") + kDataFolderName + "\\"};
}

}  // namespace cfg
