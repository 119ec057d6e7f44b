#include "settings/settings_folders.h"

namespace cfg {
namespace {

constexpr char kLocalConfigFolder[] = "LocalConfig\\";
constexpr char kDataFolder[] = ".\\Data\\";

}  // namespace

std::vector<std::string> SettingsFolders(const std::string& priorDirectory) {
  return {priorDirectory + kLocalConfigFolder, kDataFolder};
}

}  // namespace cfg
