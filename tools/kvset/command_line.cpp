// The kvset grammar: the words of the command line read into a command from
// the table, and CLI11's messages said plainly.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <map>

#include "config_version.h"
#include "settings/settings_record.h"
#include "tools/kvset/binding_text.h"
#include "tools/kvset/commands.h"
#include "tools/kvset/suggestion.h"

namespace cfg {
namespace {

constexpr char kUsageHint[] = "Run 'kvset --help' or 'kvset COMMAND --help' for usage.\n";

// FILE, or --game DIR in its place: with --game given the command takes no FILE,
// so the words after it keep their places.
void AddFile(CLI::App& command, FileArgument& argument, bool game) {
  command
      .add_option("--game", argument.game,
                  "the game's folder: the KV.set that Config.exe there reads (in place of FILE)")
      ->type_name("DIR");
  if (!game) command.add_option("FILE", argument.file, "the KV.set file")->required();
}

bool HasGameOption(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& word) {
    return word == "--game" || word.rfind("--game=", 0) == 0;
  });
}

// A number in the range; checked before CLI11 converts it, so that a word
// that is no number gets the same plain message, and handed on in decimal.
CLI::Validator NumberFrom(int first, int last) {
  const std::string range = std::to_string(first) + " to " + std::to_string(last);
  return CLI::Validator(
      [first, last, range](std::string& text) {
        const std::optional<int32_t> value = ParseInt32(text);
        if (!value || *value < first || *value > last) return "takes a number from " + range;
        text = std::to_string(*value);
        return std::string();
      },
      "");
}

std::vector<std::string> CommandNames() {
  std::vector<std::string> names;
  for (const KvsetCommand& command : KvsetCommands()) names.push_back(command.name);
  return names;
}

std::string Joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
  return text;
}

bool IsCommand(const std::string& word) {
  const std::vector<std::string> names = CommandNames();
  return std::find(names.begin(), names.end(), word) != names.end();
}

// The first word, in the order given, that the command line has left over.
std::string FirstExtra(const CLI::App& app, const std::vector<std::string>& args) {
  const std::vector<std::string> extras = app.remaining(true);
  for (const std::string& word : args) {
    if (std::find(extras.begin(), extras.end(), word) != extras.end()) return word;
  }
  return extras.empty() ? std::string() : extras.front();
}

// CLI11's messages, said plainly and naming the word at fault.
std::string ParseErrorText(const CLI::App& app, const std::vector<std::string>& args,
                           const FileArgument& file, const CLI::ParseError& error) {
  const std::string command = args.empty() ? std::string() : args.front();
  if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
    const std::string word = FirstExtra(app, args);
    if (!word.empty() && word[0] == '-')
      return command + ": " + word + " is not an option of " + command;
    return command + ": " + word + ": one word more than " + command + " takes";
  }
  if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr && args.empty()) {
    return "give a command: " + Joined(CommandNames());
  }
  std::string text = error.what();
  // "--slot: takes a number ..." names the argument, not the file.
  const size_t colon = text.find(": ");
  if (dynamic_cast<const CLI::ValidationError*>(&error) != nullptr && colon != std::string::npos) {
    return text.replace(colon, 2, " ");
  }
  return (file.file.empty() ? std::string() : file.file + ": ") + text;
}

}  // namespace

void CommandOptions::Flag(const std::string& name, bool& value, const std::string& help) {
  command_.add_flag(name, value, help);
}

void CommandOptions::Text(const std::string& name, std::string& value, const std::string& help,
                          bool required) {
  command_.add_option(name, value, help)->required(required);
}

void CommandOptions::Words(const std::string& name, std::vector<std::string>& words,
                           const std::string& help) {
  command_.add_option(name, words, help)->required();
}

void CommandOptions::Number(const std::string& name, int& value, int first, int last,
                            const std::string& help, bool required) {
  command_.add_option(name, value, help)->required(required)->check(NumberFrom(first, last));
}

void CommandOptions::Slot(std::optional<int>& slot) {
  command_
      .add_option_function<int>(
          "--slot", [&slot](const int& value) { slot = value; },
          "the configuration slot, " + SlotRangeText() + " (default: the file's current slot)")
      ->check(NumberFrom(0, kSlotCount - 1));
}

int RunKvset(const std::vector<std::string>& args, const KvsetFiles& files, const InputReader& in,
             std::ostream& out, std::ostream& err) {
  CLI::App app("Reads and changes KV.set, the game's settings file.", "kvset");
  app.require_subcommand(1, 1);
  app.set_version_flag("--version", std::string("kvset ") + CONFIG_VERSION_TEXT,
                       "show the version");
  FileArgument file;
  const bool game = HasGameOption(args);
  std::map<const CLI::App*, CommandRun> runs;
  for (const KvsetCommand& command : KvsetCommands()) {
    CLI::App* words = app.add_subcommand(command.name, command.help);
    if (command.takesFile) AddFile(*words, file, game);
    CommandOptions options(*words);
    runs[words] = command.declare(options);
  }

  // CLI11 would only say that a command is missing.
  if (!args.empty() && !args.front().empty() && args.front()[0] != '-' &&
      !IsCommand(args.front())) {
    err << "kvset: " << args.front() << ": no such command"
        << DidYouMean(args.front(), CommandNames()) << "\n"
        << kUsageHint;
    return kExitError;
  }
  // CLI11 takes the words last to first: it pops each from the back.
  std::vector<std::string> words(args.rbegin(), args.rend());
  try {
    app.parse(words);
  } catch (const CLI::Success& done) {
    return app.exit(done, out, err);
  } catch (const CLI::ParseError& error) {
    err << "kvset: " << ParseErrorText(app, args, file, error) << "\n" << kUsageHint;
    return kExitError;
  }
  TargetFile target(file, files, in, err);
  Session session{target, files.named, in, out, err};
  return runs.at(app.get_subcommands().front())(session);
}

}  // namespace cfg
