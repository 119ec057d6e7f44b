// `--game DIR`: the KV.set that Config.exe in a game folder reads, found as it
// finds it. The lookup itself is portable; entering the folder is the
// platform's (on Linux the game's names are matched ignoring case, as Wine
// matches them, and the folders above the game's stay the system's).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "settings/file_system.h"

namespace cfg {

// The file in the game's own path (CP932, backslashes), relative to the
// folder the lookup ends in, or absolute.
struct GameLookup {
  std::string path;
  bool found = false;                            // else `path` is where Config.exe would save
  std::vector<std::string> localConfigFindings;  // see CheckLocalConfig
};

// From inside the game's folder: applies its LocalConfig.Txt (which may
// change the current directory) and tries the settings folders in the
// program's order. `files` takes the game's own paths.
GameLookup FindGameFile(FileSystem& files);

// The file as a name of the named file system.
struct GameFile {
  std::string path;  // in the named file system's form
  std::string name;  // as messages show it (UTF-8)
  bool found = false;
  std::string localConfigName;  // LocalConfig.Txt beside the game, as messages show it
  std::vector<std::string> localConfigFindings;
};

class GameFolder {
 public:
  virtual ~GameFolder() = default;
  // `folder` in the named file system's form; false, with `error`, when the
  // folder cannot be entered.
  virtual bool Find(const std::string& folder, GameFile& file, std::string& error) = 0;
};

// The platform's: `named` takes the names typed on the command line.
std::unique_ptr<GameFolder> PlatformGameFolder(FileSystem& named);

// The entry of `folder` (named form; empty for the current one) that the game
// means by `name`: on Linux one that differs only in ASCII case when `name`
// itself is missing, as Wine takes it; else `name`.
std::string NameInFolder(const std::string& folder, const std::string& name);

}  // namespace cfg
