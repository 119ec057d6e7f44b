// KV.set found as Config.exe finds it, for `--game DIR`, and the warning for
// a file the game does not read. Paths are CP932, as FileSystem takes them.
#pragma once

#include <optional>
#include <string>

#include "settings/file_system.h"

namespace cfg {

struct GameFile {
  std::string path;    // as the program forms it, relative to the current directory or absolute
  bool found = false;  // else `path` is where Config.exe would save
};

// Changes into `folder`, applies its LocalConfig.Txt and tries the settings
// folders in the program's order; nothing, with `error`, when the folder
// cannot be entered.
std::optional<GameFile> FindGameFile(FileSystem& files, const std::string& folder,
                                     std::string& error);

// For a `path` in a folder named Data: the LocalConfig\KV.set beside that
// folder when it opens (the game reads that one first); else nothing.
std::optional<std::string> ShadowingFile(FileSystem& files, const std::string& path);

// Whether the file opens for reading.
bool FileOpens(FileSystem& files, const std::string& path);

}  // namespace cfg
