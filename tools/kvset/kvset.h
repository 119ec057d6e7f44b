// The kvset command line: the commands, their arguments and their exit status.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "settings/file_system.h"
#include "tools/kvset/game_folder.h"

namespace cfg {

constexpr int kExitDone = 0;
constexpr int kExitFindings = 1;  // `check` found something
constexpr int kExitError = 2;

// All of standard input; called only by a command that reads it.
using InputReader = std::function<std::string()>;

// What kvset works through: names typed on the command line in the system's
// own form (on Linux the bytes as given), and the game folders of --game.
struct KvsetFiles {
  FileSystem& named;
  GameFolder& game;
};

// `args` are the words after the program's name, in UTF-8; so is all output.
// A command that changes the file checks every argument and the file before
// it writes, and writes through the safe save.
int RunKvset(const std::vector<std::string>& args, const KvsetFiles& files, const InputReader& in,
             std::ostream& out, std::ostream& err);

}  // namespace cfg
