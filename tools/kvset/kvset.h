// The kvset command line: the commands, their arguments and their exit status.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "settings/file_system.h"

namespace cfg {

constexpr int kExitDone = 0;
constexpr int kExitFindings = 1;  // `check` found something
constexpr int kExitError = 2;

// All of standard input; called only by a command that reads it.
using InputReader = std::function<std::string()>;

// The file systems kvset works through: names typed on the command line in
// the system's own form (on Linux the bytes as given), and the game's own
// paths (LocalConfig.Txt's DataPath, LocalConfig\KV.set) as the game forms
// them. On Windows the two are one.
struct KvsetFiles {
  FileSystem& named;
  FileSystem& game;
};

// `args` are the words after the program's name, in UTF-8; so is all output.
// A command that changes the file checks every argument and the file before
// it writes, and writes through the safe save.
int RunKvset(const std::vector<std::string>& args, const KvsetFiles& files, const InputReader& in,
             std::ostream& out, std::ostream& err);

}  // namespace cfg
