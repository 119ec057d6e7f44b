// kvset's commands as one table: each command's name, its help, its options
// and what runs it. A new command is one row in `KvsetCommands` (commands.cpp);
// the grammar (command_line.cpp) gives every command that takes the file
// FILE or --game DIR, and CommandOptions the words for the rest.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tools/kvset/kvset.h"
#include "tools/kvset/target_file.h"

namespace CLI {
class App;
}

namespace cfg {

// What a command runs with, beside its own options.
struct Session {
  TargetFile& file;   // FILE or --game DIR
  FileSystem& named;  // the other names on the command line
  const InputReader& in;
  std::ostream& out;
  std::ostream& err;
};

using CommandRun = std::function<int(Session& session)>;

// The options and arguments a command declares, each read into a value the
// command owns; checked and said plainly by the grammar.
class CommandOptions {
 public:
  explicit CommandOptions(CLI::App& command) : command_(command) {}

  void Flag(const std::string& name, bool& value, const std::string& help);
  void Text(const std::string& name, std::string& value, const std::string& help, bool required);
  // One word or more.
  void Words(const std::string& name, std::vector<std::string>& words, const std::string& help);
  // A whole number from `first` to `last`.
  void Number(const std::string& name, int& value, int first, int last, const std::string& help,
              bool required);
  // --slot, in place of the file's current slot.
  void Slot(std::optional<int>& slot);

 private:
  CLI::App& command_;
};

struct KvsetCommand {
  std::string name;
  std::string help;
  bool takesFile;
  // Declares the command's options; returns what runs it with their values.
  std::function<CommandRun(CommandOptions& options)> declare;
};

// In the order of the help.
const std::vector<KvsetCommand>& KvsetCommands();

}  // namespace cfg
