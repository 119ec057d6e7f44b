// KV.set found as Config.exe finds it, for `--game DIR`, and the warning for
// a file the game does not read.
#pragma once

#include <optional>
#include <string>

#include "settings/file_system.h"

namespace cfg {

struct GameFile {
  std::string path;    // as the program forms it, relative to the current directory or absolute
  bool found = false;  // else `path` is where Config.exe would save
};

// From inside the game's folder: applies its LocalConfig.Txt (which may
// change the current directory) and tries the settings folders in the
// program's order. `files` takes the game's own paths.
GameFile FindGameFile(FileSystem& files);

// For a `path` in a folder named Data: the LocalConfig\KV.set beside that
// folder when it opens (the game reads that one first); else nothing.
std::optional<std::string> ShadowingFile(FileSystem& files, const std::string& path);

// Whether the file opens for reading.
bool FileOpens(FileSystem& files, const std::string& path);

}  // namespace cfg
