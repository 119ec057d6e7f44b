// Where the program looks for KV.set, shared by Config.exe and `kvset --game`.
#pragma once

#include <string>
#include <vector>

namespace cfg {

// The game's names of its folders, as they stand in the game's folder.
constexpr char kLocalConfigFolderName[] = "LocalConfig";
constexpr char kDataFolderName[] = "Data";

// The folders to try, in order: the LocalConfig folder beside LocalConfig.Txt
// (PriorDirectory + "LocalConfig\"), then ".\Data\" under the current
// directory. The file is loaded from the first where it opens; the save goes
// to the last one tried, found or not.
std::vector<std::string> SettingsFolders(const std::string& priorDirectory);

}  // namespace cfg
