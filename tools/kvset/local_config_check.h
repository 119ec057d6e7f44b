// What in LocalConfig.Txt keeps the game from seeing what the player meant:
// lines that end in LF alone, a DataPath after // on its line, a DataPath
// the game skips, and a folder it cannot enter.
#pragma once

#include <string>
#include <vector>

#include "settings/file_system.h"

namespace cfg {

// Reads .\LocalConfig\LocalConfig.Txt of the current directory of `files`
// (the game's paths) and applies its DataPath entries as the game does, so
// the current directory moves; one finding a line ("line N: ... (fix: ...)").
std::vector<std::string> CheckLocalConfig(FileSystem& files);

}  // namespace cfg
