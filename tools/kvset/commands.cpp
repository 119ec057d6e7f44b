#include "tools/kvset/commands.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <map>

#include "config_version.h"
#include "settings/folder_path.h"
#include "settings/rankings.h"
#include "settings/settings_store.h"
#include "settings/text_codec.h"
#include "tools/kvset/binding_edits.h"
#include "tools/kvset/binding_text.h"
#include "tools/kvset/check.h"
#include "tools/kvset/display_options.h"
#include "tools/kvset/fresh_record.h"
#include "tools/kvset/game_file.h"
#include "tools/kvset/key_map_text.h"
#include "tools/kvset/record_file.h"
#include "tools/kvset/show_json.h"
#include "tools/kvset/show_text.h"
#include "tools/kvset/suggestion.h"
#include "tools/kvset/text_decode.h"

namespace cfg {
namespace {

constexpr int kFirstController = 1;
constexpr char kStandardInput[] = "-";
constexpr char kUsageHint[] = "Run 'kvset --help' or 'kvset COMMAND --help' for usage.\n";

bool IsRelativePath(const std::string& path) {
  const bool rooted = !path.empty() && (path[0] == '\\' || path[0] == '/');
  const bool drive = path.size() > 1 && path[1] == ':';
  return !rooted && !drive;
}

struct Arguments {
  std::string file;
  std::string game;  // --game DIR, in place of FILE
  std::string textFile;
  std::string outputFile;  // export -o
  std::vector<std::string> words;
  bool json = false;
  bool joystick = false;
  bool force = false;
  int slot = 0;
  bool slotGiven = false;
  int controller = kFirstController;
  int from = 0;
  int to = 0;
};

class Command {
 public:
  Command(const Arguments& arguments, const KvsetFiles& files, const InputReader& in,
          std::ostream& out, std::ostream& err)
      : arguments_(arguments), files_(files), in_(in), out_(out), err_(err) {}

  int Show();
  int Check();
  int Keys();
  int Set();
  int Bind();
  int CopySlot();
  int Export();
  int Import();
  int ResetRankings();
  int Defaults();

 private:
  int Fail(const std::string& name, const std::string& message) {
    err_ << "kvset: " << name << ": " << message << "\n";
    return kExitError;
  }
  // A name typed on the command line, in the file system's own form.
  bool PathOf(const std::string& name, std::string& path);
  // Sets path_, name_ and pathFiles_ from FILE or --game, once; says on
  // standard error which file --game chose, and when the game reads another
  // than FILE.
  bool Locate();
  bool LocateGameFile();
  void WarnWhenShadowed();
  bool Read(RecordFile& file);
  // Read, edit and replace under the change lock.
  int Change(const RecordEdit& edit);
  int Write(const SettingsRecord& record);
  int ChangeBindings(const std::vector<BindingChange>& changes);
  // --slot, else the file's current slot; false, with `error`, when that is no slot.
  bool ChooseSlot(const SettingsRecord& record, int& slot, std::string& error) const;
  bool ReadBindingsText(std::string& text);
  // FILE or --game DIR, to name where an argument belongs before the file is located.
  std::string FileWord() const {
    return arguments_.game.empty() ? arguments_.file : "--game " + arguments_.game;
  }

  const Arguments& arguments_;
  const KvsetFiles& files_;
  const InputReader& in_;
  std::ostream& out_;
  std::ostream& err_;
  std::string error_;
  bool located_ = false;
  FileSystem* pathFiles_ = &files_.named;  // the file system path_ belongs to
  std::string path_;
  std::string name_;  // for messages
};

bool Command::PathOf(const std::string& name, std::string& path) {
  const std::optional<std::string> converted = files_.named.PathFromUtf8(name);
  if (!converted) {
    Fail(name, "the name has characters that code page 932 lacks");
    return false;
  }
  path = *converted;
  return true;
}

bool Command::Locate() {
  if (located_) return true;
  if (!arguments_.game.empty()) {
    located_ = LocateGameFile();
    return located_;
  }
  if (!PathOf(arguments_.file, path_)) return false;
  name_ = arguments_.file;
  WarnWhenShadowed();
  located_ = true;
  return true;
}

// The lookup runs inside the game's folder in the game's own paths, as
// Config.exe's does; then the working folder is the user's again, so that
// the other names on the command line mean what they meant.
bool Command::LocateGameFile() {
  const std::string where = "--game " + arguments_.game;
  std::string folder;
  if (!PathOf(arguments_.game, folder)) return false;
  FileSystem& named = files_.named;
  FileSystem& game = files_.game;
  const std::string startFolder = named.CurrentDirectory();
  if (!named.ChangeDirectory(folder)) {
    Fail(where, "cannot enter the folder (" + FaultText(named.LastFault()) + ")");
    return false;
  }
  const GameFile file = FindGameFile(game);
  const std::string folderNow = game.CurrentDirectory();
  named.ChangeDirectory(startFolder);
  if (folderNow.empty()) {
    Fail(where, "the folder's name has characters that code page 932 lacks");
    return false;
  }
  path_ = IsRelativePath(file.path) ? WithTrailingBackslash(folderNow) + file.path : file.path;
  pathFiles_ = &game;
  name_ = Utf8FromCp932(file.path).value_or(file.path);
  err_ << "kvset: " << where << ": "
       << (file.found ? "the game's file is " + name_
                      : "no KV.set yet; " + name_ + " is where Config.exe saves it")
       << " (in " << Utf8FromCp932(folderNow).value_or(folderNow) << ")\n";
  return true;
}

void Command::WarnWhenShadowed() {
  const std::optional<std::string> shadowing = ShadowingFile(files_.named, path_);
  if (!shadowing) return;
  err_ << "kvset: warning: " << name_ << ": the game reads " << *shadowing
       << " instead while that file exists\n";
}

bool Command::Read(RecordFile& file) {
  if (!Locate()) return false;
  if (ReadRecordFile(*pathFiles_, path_, file, error_)) return true;
  Fail(name_, error_);
  return false;
}

int Command::Change(const RecordEdit& edit) {
  if (!Locate()) return kExitError;
  if (!ChangeRecordFile(*pathFiles_, path_, edit, error_)) return Fail(name_, error_);
  return kExitDone;
}

int Command::Write(const SettingsRecord& record) {
  if (!Locate()) return kExitError;
  if (!WriteRecordFile(*pathFiles_, path_, record, error_)) return Fail(name_, error_);
  return kExitDone;
}

int Command::ChangeBindings(const std::vector<BindingChange>& changes) {
  return Change([&](SettingsRecord& record, std::string& error) {
    int slot = 0;
    if (!ChooseSlot(record, slot, error)) return false;
    ApplyBindingChanges(changes, slot, record);
    return true;
  });
}

bool Command::ChooseSlot(const SettingsRecord& record, int& slot, std::string& error) const {
  slot = arguments_.slotGiven ? arguments_.slot : record.Int(record_offset::kCurrentSlot);
  if (slot >= 0 && slot < kSlotCount) return true;
  error = "the current slot is " + std::to_string(slot) + ", not 0-4; give --slot";
  return false;
}

int Command::Show() {
  RecordFile file;
  if (!Read(file)) return kExitError;
  out_ << (arguments_.json ? ShowJson(name_, file) : ShowText(name_, file));
  return kExitDone;
}

int Command::Check() {
  RecordFile file;
  if (!Read(file)) return kExitError;
  const std::vector<std::string> findings = CheckRecordFile(file);
  const int status = findings.empty() ? kExitDone : kExitFindings;
  if (arguments_.json) {
    out_ << CheckJson(name_, file, findings);
    return status;
  }
  for (const std::string& finding : findings) out_ << name_ << ": " << finding << "\n";
  if (findings.empty()) out_ << name_ << ": no findings\n";
  return status;
}

int Command::Keys() {
  out_ << "keys:";
  for (const std::string& name : KeyNamesUtf8()) out_ << " " << name;
  out_ << "\narrow keys also as:";
  for (const std::string& word : ArrowWords()) out_ << " " << word;
  out_ << "\njoystick inputs, as padN:NAME with N 1-4:";
  for (const std::string& name : PadInputNames()) out_ << " " << name;
  out_ << "\nalso: none, key:CODE, padN:0xMASK\n";
  return kExitDone;
}

int Command::Set() {
  OptionChanges changes;
  if (!ParseOptionChanges(arguments_.words, changes, error_)) return Fail(FileWord(), error_);
  return Change([&](SettingsRecord& record, std::string&) {
    ApplyOptionChanges(changes, record);
    return true;
  });
}

int Command::Bind() {
  std::vector<BindingChange> changes;
  if (!ParseBindingChanges(arguments_.words, arguments_.controller - kFirstController, changes,
                           error_)) {
    return Fail(FileWord(), error_);
  }
  return ChangeBindings(changes);
}

int Command::CopySlot() {
  return Change([&](SettingsRecord& record, std::string&) {
    CopySlotKeyMap(arguments_.from, arguments_.to, record);
    return true;
  });
}

int Command::Export() {
  RecordFile file;
  int slot = 0;
  if (!Read(file)) return kExitError;
  if (!ChooseSlot(file.record, slot, error_)) return Fail(name_, error_);
  const std::string text = ExportKeyMap(file.record, slot);
  if (arguments_.outputFile.empty()) {
    out_ << text;
    return kExitDone;
  }
  std::string outputPath;
  if (!PathOf(arguments_.outputFile, outputPath)) return kExitError;
  if (!WriteTextFile(files_.named, outputPath, text, error_)) {
    return Fail(arguments_.outputFile, error_);
  }
  return kExitDone;
}

// TEXTFILE, or standard input for "-", in any encoding Utf8FromAnyText knows.
bool Command::ReadBindingsText(std::string& text) {
  std::string bytes;
  if (arguments_.textFile == kStandardInput) {
    bytes = in_();
  } else {
    std::string textPath;
    if (!PathOf(arguments_.textFile, textPath)) return false;
    if (!ReadTextFile(files_.named, textPath, bytes, error_)) {
      Fail(arguments_.textFile, error_);
      return false;
    }
  }
  const std::optional<std::string> decoded = Utf8FromAnyText(bytes);
  if (!decoded) {
    Fail(arguments_.textFile,
         "the text is not UTF-8, UTF-16 with a byte-order mark, or code page 932");
    return false;
  }
  text = *decoded;
  return true;
}

int Command::Import() {
  std::string text;
  if (!ReadBindingsText(text)) return kExitError;
  std::vector<BindingChange> changes;
  if (!ParseKeyMapText(text, changes, error_)) return Fail(arguments_.textFile, error_);
  return ChangeBindings(changes);
}

int Command::ResetRankings() {
  return Change([](SettingsRecord& record, std::string&) {
    ResetRankingTables(record);
    return true;
  });
}

int Command::Defaults() {
  if (!Locate()) return kExitError;
  if (!arguments_.force && FileOpens(*pathFiles_, path_)) {
    return Fail(name_, "the file exists; give --force to replace it");
  }
  return Write(FreshRecord(arguments_.joystick));
}

using Handler = int (Command::*)();

// FILE, or --game DIR in its place: with --game given the command takes no FILE,
// so the words after it keep their places.
void AddFile(CLI::App& command, Arguments& arguments, bool game) {
  command
      .add_option("--game", arguments.game,
                  "the game's folder: the KV.set that Config.exe there reads (in place of FILE)")
      ->type_name("DIR");
  if (!game) command.add_option("FILE", arguments.file, "the KV.set file")->required();
}

bool HasGameOption(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& word) {
    return word == "--game" || word.rfind("--game=", 0) == 0;
  });
}

// A whole number in the range; checked before CLI11 converts it, so that a
// word that is no number gets the same plain message.
CLI::Validator NumberFrom(int first, int last) {
  const std::string range = std::to_string(first) + " to " + std::to_string(last);
  return CLI::Validator(
      [first, last, range](std::string& text) {
        size_t used = 0;
        int value = 0;
        try {
          value = std::stoi(text, &used);
        } catch (const std::logic_error&) {
          used = 0;
        }
        const bool fits = used != 0 && used == text.size() && value >= first && value <= last;
        return fits ? std::string() : "takes a number from " + range;
      },
      "");
}

void AddSlotOption(CLI::App& command, Arguments& arguments) {
  command
      .add_option_function<int>(
          "--slot",
          [&arguments](const int& slot) {
            arguments.slot = slot;
            arguments.slotGiven = true;
          },
          "the configuration slot, 0-4 (default: the file's current slot)")
      ->check(NumberFrom(0, kSlotCount - 1));
}

// Every command and what runs it.
std::map<CLI::App*, Handler> AddCommands(CLI::App& app, Arguments& arguments, bool game) {
  std::map<CLI::App*, Handler> handlers;

  CLI::App* show = app.add_subcommand("show", "Show the options, all bindings and the rankings");
  AddFile(*show, arguments, game);
  show->add_flag("--json", arguments.json, "write JSON for scripts");
  handlers[show] = &Command::Show;

  CLI::App* check = app.add_subcommand(
      "check", "Report what the game or the program would trip over; exit 0 only when clean");
  AddFile(*check, arguments, game);
  check->add_flag("--json", arguments.json, "write the findings as JSON for scripts");
  handlers[check] = &Command::Check;

  CLI::App* keys = app.add_subcommand("keys", "List every key name and joystick input name");
  handlers[keys] = &Command::Keys;

  CLI::App* set = app.add_subcommand("set", "Change the display options or the current slot");
  AddFile(*set, arguments, game);
  set->add_option("CHANGES", arguments.words,
                  "window=on|off start640x480=on|off keep320x240=on|off slot=0-4")
      ->required();
  handlers[set] = &Command::Set;

  CLI::App* bind = app.add_subcommand("bind", "Bind inputs of one controller in one slot");
  AddFile(*bind, arguments, game);
  AddSlotOption(*bind, arguments);
  bind->add_option("--controller", arguments.controller, "the controller, 1-4 (default 1)")
      ->check(NumberFrom(kFirstController, kControllerCount));
  bind->add_option("BINDINGS", arguments.words,
                   "POSITION=INPUT: positions UP DOWN LEFT RIGHT B1-B4; inputs a key name (z, "
                   "Home), key:CODE, padN:NAME (pad2:B3, pad1:UP), padN:0xMASK, or none")
      ->required();
  handlers[bind] = &Command::Bind;

  CLI::App* copy = app.add_subcommand("copy-slot", "Copy one slot's key map onto another");
  AddFile(*copy, arguments, game);
  copy->add_option("FROM", arguments.from, "the slot to copy, 0-4")
      ->required()
      ->check(NumberFrom(0, kSlotCount - 1));
  copy->add_option("TO", arguments.to, "the slot to overwrite, 0-4")
      ->required()
      ->check(NumberFrom(0, kSlotCount - 1));
  handlers[copy] = &Command::CopySlot;

  CLI::App* exporter = app.add_subcommand("export", "Write one slot's bindings as text");
  AddFile(*exporter, arguments, game);
  AddSlotOption(*exporter, arguments);
  exporter->add_option(
      "-o,--output", arguments.outputFile,
      "write the text to this file, whole or not at all (default: standard output)");
  handlers[exporter] = &Command::Export;

  CLI::App* importer =
      app.add_subcommand("import", "Read bindings, as export writes them, into one slot");
  AddFile(*importer, arguments, game);
  AddSlotOption(*importer, arguments);
  importer
      ->add_option("TEXTFILE", arguments.textFile,
                   "the bindings text (UTF-8, UTF-16 or CP932), or - for standard input")
      ->required();
  handlers[importer] = &Command::Import;

  CLI::App* reset =
      app.add_subcommand("reset-rankings", "Put the four ranking tables back to their defaults");
  AddFile(*reset, arguments, game);
  handlers[reset] = &Command::ResetRankings;

  CLI::App* defaults = app.add_subcommand(
      "defaults", "Write a fresh file, as a confirmed first run with nothing changed writes it");
  AddFile(*defaults, arguments, game);
  defaults->add_flag("--force", arguments.force, "replace a file that exists");
  defaults->add_flag("--joystick", arguments.joystick,
                     "controller 1 on joystick 1, as when a joystick answers at start-up");
  handlers[defaults] = &Command::Defaults;

  return handlers;
}

// In the order of the help.
std::vector<std::string> CommandNames(const CLI::App& app) {
  std::vector<std::string> names;
  for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
    names.push_back(command->get_name());
  }
  return names;
}

std::string Joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
  return text;
}

bool IsCommand(const CLI::App& app, const std::string& word) {
  const std::vector<std::string> names = CommandNames(app);
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
                           const Arguments& arguments, const std::string& commands,
                           const CLI::ParseError& error) {
  const std::string command = args.empty() ? std::string() : args.front();
  if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
    const std::string word = FirstExtra(app, args);
    if (!word.empty() && word[0] == '-')
      return command + ": " + word + " is not an option of " + command;
    return command + ": " + word + ": one word more than " + command + " takes";
  }
  if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr && args.empty()) {
    return "give a command: " + commands;
  }
  std::string text = error.what();
  // "--slot: takes a number ..." names the argument, not the file.
  const size_t colon = text.find(": ");
  if (dynamic_cast<const CLI::ValidationError*>(&error) != nullptr && colon != std::string::npos) {
    return text.replace(colon, 2, " ");
  }
  return (arguments.file.empty() ? std::string() : arguments.file + ": ") + text;
}

}  // namespace

int RunKvset(const std::vector<std::string>& args, const KvsetFiles& files, const InputReader& in,
             std::ostream& out, std::ostream& err) {
  CLI::App app("Reads and changes KV.set, the game's settings file.", "kvset");
  app.require_subcommand(1, 1);
  app.set_version_flag("--version", std::string("kvset ") + CONFIG_VERSION_TEXT,
                       "show the version");
  Arguments arguments;
  const std::map<CLI::App*, Handler> handlers = AddCommands(app, arguments, HasGameOption(args));

  // CLI11 would only say that a command is missing.
  if (!args.empty() && !args.front().empty() && args.front()[0] != '-' &&
      !IsCommand(app, args.front())) {
    err << "kvset: " << args.front() << ": no such command"
        << DidYouMean(args.front(), CommandNames(app)) << "\n"
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
    err << "kvset: " << ParseErrorText(app, args, arguments, Joined(CommandNames(app)), error)
        << "\n"
        << kUsageHint;
    return kExitError;
  }
  Command command(arguments, files, in, out, err);
  return (command.*handlers.at(app.get_subcommands().front()))();
}

}  // namespace cfg
