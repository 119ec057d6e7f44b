#include "tools/kvset/commands.h"

#include <CLI/CLI.hpp>
#include <map>

#include "settings/rankings.h"
#include "settings/text_codec.h"
#include "tools/kvset/binding_edits.h"
#include "tools/kvset/check.h"
#include "tools/kvset/display_options.h"
#include "tools/kvset/fresh_record.h"
#include "tools/kvset/key_map_text.h"
#include "tools/kvset/record_file.h"
#include "tools/kvset/show_json.h"
#include "tools/kvset/show_text.h"

namespace cfg {
namespace {

constexpr int kFirstController = 1;
constexpr char kUsageHint[] = "Run 'kvset --help' or 'kvset COMMAND --help' for usage.\n";

struct Arguments {
  std::string file;
  std::string textFile;
  std::vector<std::string> words;
  bool json = false;
  bool joystick = false;
  int slot = 0;
  bool slotGiven = false;
  int controller = kFirstController;
  int from = 0;
  int to = 0;
};

class Command {
 public:
  Command(const Arguments& arguments, FileSystem& files, std::ostream& out, std::ostream& err)
      : arguments_(arguments), files_(files), out_(out), err_(err) {}

  int Show();
  int Check();
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
  // The name in the file system's own form.
  bool PathOf(const std::string& name, std::string& path);
  bool Read(RecordFile& file);
  // Read, edit and replace under the change lock.
  int Change(const RecordEdit& edit);
  int Write(const SettingsRecord& record);
  int ChangeBindings(const std::vector<BindingChange>& changes);
  // --slot, else the file's current slot; false, with `error`, when that is no slot.
  bool ChooseSlot(const SettingsRecord& record, int& slot, std::string& error) const;

  const Arguments& arguments_;
  FileSystem& files_;
  std::ostream& out_;
  std::ostream& err_;
  std::string error_;
};

bool Command::PathOf(const std::string& name, std::string& path) {
  const std::optional<std::string> converted = files_.PathFromUtf8(name);
  if (!converted) {
    Fail(name, "the name has characters that code page 932 lacks");
    return false;
  }
  path = *converted;
  return true;
}

bool Command::Read(RecordFile& file) {
  std::string path;
  if (!PathOf(arguments_.file, path)) return false;
  if (ReadRecordFile(files_, path, file, error_)) return true;
  Fail(arguments_.file, error_);
  return false;
}

int Command::Change(const RecordEdit& edit) {
  std::string path;
  if (!PathOf(arguments_.file, path)) return kExitError;
  if (!ChangeRecordFile(files_, path, edit, error_)) return Fail(arguments_.file, error_);
  return kExitDone;
}

int Command::Write(const SettingsRecord& record) {
  std::string path;
  if (!PathOf(arguments_.file, path)) return kExitError;
  if (!WriteRecordFile(files_, path, record, error_)) return Fail(arguments_.file, error_);
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
  out_ << (arguments_.json ? ShowJson(arguments_.file, file) : ShowText(arguments_.file, file));
  return kExitDone;
}

int Command::Check() {
  RecordFile file;
  if (!Read(file)) return kExitError;
  const std::vector<std::string> findings = CheckRecordFile(file);
  for (const std::string& finding : findings) out_ << arguments_.file << ": " << finding << "\n";
  if (findings.empty()) out_ << arguments_.file << ": no findings\n";
  return findings.empty() ? kExitDone : kExitFindings;
}

int Command::Set() {
  OptionChanges changes;
  if (!ParseOptionChanges(arguments_.words, changes, error_)) return Fail(arguments_.file, error_);
  return Change([&](SettingsRecord& record, std::string&) {
    ApplyOptionChanges(changes, record);
    return true;
  });
}

int Command::Bind() {
  std::vector<BindingChange> changes;
  if (!ParseBindingChanges(arguments_.words, arguments_.controller - kFirstController, changes,
                           error_)) {
    return Fail(arguments_.file, error_);
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
  if (!ChooseSlot(file.record, slot, error_)) return Fail(arguments_.file, error_);
  out_ << ExportKeyMap(file.record, slot);
  return kExitDone;
}

int Command::Import() {
  std::string textPath;
  std::string text;
  if (!PathOf(arguments_.textFile, textPath)) return kExitError;
  if (!ReadTextFile(files_, textPath, text, error_)) return Fail(arguments_.textFile, error_);
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
  return Write(FreshRecord(arguments_.joystick));
}

using Handler = int (Command::*)();

CLI::Option* AddFile(CLI::App& command, Arguments& arguments) {
  return command.add_option("FILE", arguments.file, "the KV.set file")->required();
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
      ->check(CLI::Range(0, kSlotCount - 1));
}

// Every command and what runs it.
std::map<CLI::App*, Handler> AddCommands(CLI::App& app, Arguments& arguments) {
  std::map<CLI::App*, Handler> handlers;

  CLI::App* show = app.add_subcommand("show", "Show the options, all bindings and the rankings");
  AddFile(*show, arguments);
  show->add_flag("--json", arguments.json, "write JSON for scripts");
  handlers[show] = &Command::Show;

  CLI::App* check = app.add_subcommand(
      "check", "Report what the game or the program would trip over; exit 0 only when clean");
  AddFile(*check, arguments);
  handlers[check] = &Command::Check;

  CLI::App* set = app.add_subcommand("set", "Change the display options or the current slot");
  AddFile(*set, arguments);
  set->add_option("CHANGES", arguments.words,
                  "window=on|off start640x480=on|off keep320x240=on|off slot=0-4")
      ->required();
  handlers[set] = &Command::Set;

  CLI::App* bind = app.add_subcommand("bind", "Bind inputs of one controller in one slot");
  AddFile(*bind, arguments);
  AddSlotOption(*bind, arguments);
  bind->add_option("--controller", arguments.controller, "the controller, 1-4 (default 1)")
      ->check(CLI::Range(kFirstController, kControllerCount));
  bind->add_option("BINDINGS", arguments.words,
                   "POSITION=INPUT: positions UP DOWN LEFT RIGHT B1-B4; inputs a key name (z, "
                   "Home), key:CODE, padN:NAME (pad2:B3, pad1:UP), padN:0xMASK, or none")
      ->required();
  handlers[bind] = &Command::Bind;

  CLI::App* copy = app.add_subcommand("copy-slot", "Copy one slot's key map onto another");
  AddFile(*copy, arguments);
  copy->add_option("FROM", arguments.from, "the slot to copy, 0-4")
      ->required()
      ->check(CLI::Range(0, kSlotCount - 1));
  copy->add_option("TO", arguments.to, "the slot to overwrite, 0-4")
      ->required()
      ->check(CLI::Range(0, kSlotCount - 1));
  handlers[copy] = &Command::CopySlot;

  CLI::App* exporter = app.add_subcommand("export", "Write one slot's bindings as text");
  AddFile(*exporter, arguments);
  AddSlotOption(*exporter, arguments);
  handlers[exporter] = &Command::Export;

  CLI::App* importer =
      app.add_subcommand("import", "Read bindings, as export writes them, into one slot");
  AddFile(*importer, arguments);
  AddSlotOption(*importer, arguments);
  importer->add_option("TEXTFILE", arguments.textFile, "the bindings text")->required();
  handlers[importer] = &Command::Import;

  CLI::App* reset =
      app.add_subcommand("reset-rankings", "Put the four ranking tables back to their defaults");
  AddFile(*reset, arguments);
  handlers[reset] = &Command::ResetRankings;

  CLI::App* defaults = app.add_subcommand(
      "defaults", "Write a fresh file, as a confirmed first run with nothing changed writes it");
  AddFile(*defaults, arguments);
  defaults->add_flag("--joystick", arguments.joystick,
                     "controller 1 on joystick 1, as when a joystick answers at start-up");
  handlers[defaults] = &Command::Defaults;

  return handlers;
}

bool IsCommand(const std::map<CLI::App*, Handler>& handlers, const std::string& word) {
  for (const auto& [command, handler] : handlers) {
    if (command->get_name() == word) return true;
  }
  return false;
}

}  // namespace

int RunKvset(const std::vector<std::string>& args, FileSystem& files, std::ostream& out,
             std::ostream& err) {
  CLI::App app("Reads and changes KV.set, the game's settings file.", "kvset");
  app.require_subcommand(1, 1);
  Arguments arguments;
  const std::map<CLI::App*, Handler> handlers = AddCommands(app, arguments);

  // CLI11 would only say that a command is missing.
  if (!args.empty() && !args.front().empty() && args.front()[0] != '-' &&
      !IsCommand(handlers, args.front())) {
    err << "kvset: " << args.front() << ": no such command\n" << kUsageHint;
    return kExitError;
  }
  // CLI11 reads its words last to first.
  std::vector<std::string> words(args.rbegin(), args.rend());
  try {
    app.parse(words);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help, out, err);
  } catch (const CLI::ParseError& error) {
    const std::string where = arguments.file.empty() ? std::string() : arguments.file + ": ";
    err << "kvset: " << where << error.what() << "\n" << kUsageHint;
    return kExitError;
  }
  Command command(arguments, files, out, err);
  return (command.*handlers.at(app.get_subcommands().front()))();
}

}  // namespace cfg
