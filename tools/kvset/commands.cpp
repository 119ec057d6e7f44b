#include "tools/kvset/commands.h"

#include <memory>

#include "settings/rankings.h"
#include "settings/settings_store.h"
#include "tools/kvset/binding_edits.h"
#include "tools/kvset/binding_text.h"
#include "tools/kvset/change_report.h"
#include "tools/kvset/check.h"
#include "tools/kvset/display_options.h"
#include "tools/kvset/export_output.h"
#include "tools/kvset/fresh_record.h"
#include "tools/kvset/key_map_text.h"
#include "tools/kvset/record_file.h"
#include "tools/kvset/show_json.h"
#include "tools/kvset/show_text.h"
#include "tools/kvset/text_decode.h"

namespace cfg {
namespace {

constexpr int kFirstController = 1;
constexpr int kLastSlot = kSlotCount - 1;
constexpr bool kTakesFile = true;

// A command whose options are read into its own `Values`.
template <typename Values>
KvsetCommand Define(const std::string& name, const std::string& help, bool takesFile,
                    std::function<void(CommandOptions&, Values&)> declare,
                    std::function<int(Session&, const Values&)> run) {
  return {name, help, takesFile, [declare, run](CommandOptions& options) -> CommandRun {
            const auto values = std::make_shared<Values>();
            declare(options, *values);
            return [values, run](Session& session) { return run(session, *values); };
          }};
}

struct NoOptions {};
void NoneToDeclare(CommandOptions&, NoOptions&) {}

// --slot, else the file's current slot; false, with `error`, when that is no slot.
bool ChooseSlot(const std::optional<int>& given, const SettingsRecord& record, int& slot,
                std::string& error) {
  slot = given ? *given : record.Int(record_offset::kCurrentSlot);
  if (IsSlot(slot)) return true;
  error =
      "the current slot is " + std::to_string(slot) + ", not " + SlotRangeText() + "; give --slot";
  return false;
}

// --dry-run, for the commands that change bindings or options.
struct DryRun {
  bool dryRun = false;
};

void DeclareDryRun(CommandOptions& options, DryRun& values) {
  options.Flag("--dry-run", values.dryRun, "say what would change, and change nothing");
}

void SayChange(Session& session, const ChangeReport& report, bool dryRun) {
  const std::string& name = session.file.Name();
  for (const std::string& change : report.changes) {
    session.err << "kvset: " << name << ": " << change << "\n";
  }
  if (report.changes.empty()) session.err << "kvset: " << name << ": nothing changed\n";
  for (const std::string& warning : report.warnings) {
    session.err << "kvset: warning: " << name << ": " << warning << "\n";
  }
  if (dryRun) session.err << "kvset: " << name << ": --dry-run: the file was not written\n";
}

// The edit, and one line a change on standard error once it is in place.
int Changed(Session& session, const RecordEdit& edit, bool dryRun = false) {
  ChangeReport report;
  const RecordEdit reported = [&](SettingsRecord& record, std::string& error) {
    const SettingsRecord before = record;
    if (!edit(record, error)) return false;
    report = ReportChange(before, record);
    return true;
  };
  if (!(dryRun ? session.file.Preview(reported) : session.file.Change(reported))) {
    return kExitError;
  }
  SayChange(session, report, dryRun);
  return kExitDone;
}

int ChangeBindings(Session& session, const std::optional<int>& slotGiven,
                   const std::vector<BindingChange>& changes, bool dryRun) {
  return Changed(
      session,
      [&](SettingsRecord& record, std::string& error) {
        int slot = 0;
        if (!ChooseSlot(slotGiven, record, slot, error)) return false;
        ApplyBindingChanges(changes, slot, record);
        return true;
      },
      dryRun);
}

struct JsonOption {
  bool json = false;
};

int Show(Session& session, const JsonOption& options) {
  RecordFile file;
  if (!session.file.Read(file)) return kExitError;
  const std::string& name = session.file.Name();
  session.out << (options.json ? ShowJson(name, session.file.AbsolutePath(), file)
                               : ShowText(name, file));
  return kExitDone;
}

int Check(Session& session, const JsonOption& options) {
  RecordFile file;
  if (!session.file.Read(file)) return kExitError;
  const std::string& name = session.file.Name();
  std::vector<std::string> findings = CheckRecordFile(file);
  const std::vector<std::string>& gameFindings = session.file.GameFindings();
  const int status = findings.empty() && gameFindings.empty() ? kExitDone : kExitFindings;
  if (options.json) {
    findings.insert(findings.end(), gameFindings.begin(), gameFindings.end());
    session.out << CheckJson(name, session.file.AbsolutePath(), file, findings);
    return status;
  }
  for (const std::string& finding : gameFindings) session.out << finding << "\n";
  for (const std::string& finding : findings) session.out << name << ": " << finding << "\n";
  if (status == kExitDone) session.out << name << ": no findings\n";
  return status;
}

int Keys(Session& session, const NoOptions&) {
  std::ostream& out = session.out;
  out << "keys:";
  for (const std::string& name : KeyNamesUtf8()) out << " " << name;
  out << "\narrow keys also as:";
  for (const std::string& word : ArrowWords()) out << " " << word;
  out << "\njoystick inputs, as padN:NAME with N 1-4:";
  for (const std::string& name : PadInputNames()) out << " " << name;
  out << "\nalso: none, key:CODE, padN:0xMASK\n";
  return kExitDone;
}

struct SetOptions : DryRun {
  std::vector<std::string> changes;
};

int Set(Session& session, const SetOptions& options) {
  OptionChanges changes;
  std::string error;
  if (!ParseOptionChanges(options.changes, changes, error)) {
    return Fail(session.err, session.file.Word(), error);
  }
  return Changed(
      session,
      [&](SettingsRecord& record, std::string&) {
        ApplyOptionChanges(changes, record);
        return true;
      },
      options.dryRun);
}

struct BindOptions : DryRun {
  std::optional<int> slot;
  int controller = kFirstController;
  std::vector<std::string> bindings;
};

int Bind(Session& session, const BindOptions& options) {
  std::vector<BindingChange> changes;
  std::string error;
  if (!ParseBindingChanges(options.bindings, options.controller - kFirstController, changes,
                           error)) {
    return Fail(session.err, session.file.Word(), error);
  }
  return ChangeBindings(session, options.slot, changes, options.dryRun);
}

struct CopySlotOptions : DryRun {
  int from = 0;
  int to = 0;
};

int CopySlot(Session& session, const CopySlotOptions& options) {
  return Changed(
      session,
      [&](SettingsRecord& record, std::string&) {
        CopySlotKeyMap(options.from, options.to, record);
        return true;
      },
      options.dryRun);
}

struct ExportOptions {
  std::optional<int> slot;
  std::string outputFile;
  bool force = false;
};

int Export(Session& session, const ExportOptions& options) {
  RecordFile file;
  int slot = 0;
  std::string error;
  if (!session.file.Read(file)) return kExitError;
  if (!ChooseSlot(options.slot, file.record, slot, error)) {
    return Fail(session.err, session.file.Name(), error);
  }
  const std::string text = ExportKeyMap(file.record, slot);
  if (options.outputFile.empty() || options.outputFile == kStandardStream) {
    session.out << text;
    return kExitDone;
  }
  std::string outputPath;
  if (!PathOfName(session.named, options.outputFile, outputPath, session.err)) return kExitError;
  if (!options.force && !MayWriteExport(session.named, outputPath, session.file.Path(), error)) {
    return Fail(session.err, options.outputFile, error);
  }
  if (!WriteTextFile(session.named, outputPath, text, error)) {
    return Fail(session.err, options.outputFile, error);
  }
  return kExitDone;
}

struct ImportOptions : DryRun {
  std::optional<int> slot;
  std::string textFile;
};

// TEXTFILE, or standard input for "-", in any encoding Utf8FromAnyText knows.
bool ReadBindingsText(Session& session, const std::string& textFile, std::string& text) {
  std::string bytes;
  std::string error;
  if (textFile == kStandardStream) {
    bytes = session.in();
  } else {
    std::string textPath;
    if (!PathOfName(session.named, textFile, textPath, session.err)) return false;
    if (!ReadTextFile(session.named, textPath, bytes, error)) {
      Fail(session.err, textFile, error);
      return false;
    }
  }
  const std::optional<std::string> decoded = Utf8FromAnyText(bytes);
  if (!decoded) {
    Fail(session.err, textFile,
         "the text is not UTF-8, UTF-16 with a byte-order mark, or code page 932");
    return false;
  }
  text = *decoded;
  return true;
}

int Import(Session& session, const ImportOptions& options) {
  std::string text;
  if (!ReadBindingsText(session, options.textFile, text)) return kExitError;
  std::vector<BindingChange> changes;
  std::string error;
  if (!ParseKeyMapText(text, changes, error)) return Fail(session.err, options.textFile, error);
  return ChangeBindings(session, options.slot, changes, options.dryRun);
}

int ResetRankings(Session& session, const NoOptions&) {
  return Changed(session, [](SettingsRecord& record, std::string&) {
    ResetRankingTables(record);
    return true;
  });
}

struct DefaultsOptions {
  bool force = false;
  bool joystick = false;
};

int Defaults(Session& session, const DefaultsOptions& options) {
  TargetFile& file = session.file;
  if (!file.Locate()) return kExitError;
  if (!options.force && file.Exists()) {
    return Fail(session.err, file.Name(), "the file exists; give --force to replace it");
  }
  return file.Write(FreshRecord(options.joystick)) ? kExitDone : kExitError;
}

// A file of another size as a whole record: its first 4684 bytes, and for
// what it lacks what Config.exe writes in a fresh file.
int Repair(Session& session, const NoOptions&) {
  RecordFile file;
  if (!session.file.Read(file)) return kExitError;
  const std::string& name = session.file.Name();
  const std::string whole = std::to_string(kSettingsRecordSize);
  if (file.size == kSettingsRecordSize) {
    session.err << "kvset: " << name << ": already " << whole << " bytes; nothing to repair\n";
    return kExitDone;
  }
  const SettingsRecord fresh = FreshRecord(false);
  for (uint64_t at = file.size; at < kSettingsRecordSize; ++at) {
    file.record.bytes[at] = fresh.bytes[at];
  }
  if (!session.file.Write(file.record)) return kExitError;
  session.err << "kvset: " << name << ": " << file.size << " bytes made " << whole << ": "
              << (file.size > kSettingsRecordSize
                      ? "the first " + whole + " kept"
                      : "all kept, and the " + std::to_string(kSettingsRecordSize - file.size) +
                            " missing as in a fresh file")
              << "\n";
  return kExitDone;
}

std::vector<KvsetCommand> CommandTable() {
  return {
      Define<JsonOption>(
          "show", "Show the options, all bindings and the rankings", kTakesFile,
          [](CommandOptions& o, JsonOption& v) {
            o.Flag("--json", v.json, "write JSON for scripts");
          },
          Show),
      Define<JsonOption>(
          "check", "Report what the game or the program would trip over; exit 0 only when clean",
          kTakesFile,
          [](CommandOptions& o, JsonOption& v) {
            o.Flag("--json", v.json, "write the findings as JSON for scripts");
          },
          Check),
      Define<NoOptions>("keys", "List every key name and joystick input name", !kTakesFile,
                        NoneToDeclare, Keys),
      Define<SetOptions>(
          "set", "Change the display options or the current slot", kTakesFile,
          [](CommandOptions& o, SetOptions& v) {
            DeclareDryRun(o, v);
            o.Words("CHANGES", v.changes,
                    "window=on|off start640x480=on|off keep320x240=on|off slot=" + SlotRangeText());
          },
          Set),
      Define<BindOptions>(
          "bind", "Bind inputs of one controller in one slot", kTakesFile,
          [](CommandOptions& o, BindOptions& v) {
            o.Slot(v.slot);
            o.Number("--controller", v.controller, kFirstController, kControllerCount,
                     "the controller, 1-4 (default 1)", false);
            DeclareDryRun(o, v);
            o.Words("BINDINGS", v.bindings,
                    "POSITION=INPUT: positions UP DOWN LEFT RIGHT B1-B4; inputs a key name (z, "
                    "Home), key:CODE, padN:NAME (pad2:B3, pad1:UP), padN:0xMASK, or none");
          },
          Bind),
      Define<CopySlotOptions>(
          "copy-slot", "Copy one slot's key map onto another", kTakesFile,
          [](CommandOptions& o, CopySlotOptions& v) {
            DeclareDryRun(o, v);
            o.Number("FROM", v.from, 0, kLastSlot, "the slot to copy, " + SlotRangeText(), true);
            o.Number("TO", v.to, 0, kLastSlot, "the slot to overwrite, " + SlotRangeText(), true);
          },
          CopySlot),
      Define<ExportOptions>(
          "export", "Write one slot's bindings as text", kTakesFile,
          [](CommandOptions& o, ExportOptions& v) {
            o.Slot(v.slot);
            o.Text("-o,--output", v.outputFile,
                   "write the text to this file, whole or not at all; - or none: standard output",
                   false);
            o.Flag("--force", v.force, "write over the file read, or over a KV.set");
          },
          Export),
      Define<ImportOptions>(
          "import", "Read bindings, as export writes them, into one slot", kTakesFile,
          [](CommandOptions& o, ImportOptions& v) {
            o.Slot(v.slot);
            DeclareDryRun(o, v);
            o.Text("TEXTFILE", v.textFile,
                   "the bindings text (UTF-8, UTF-16 or CP932), or - for standard input", true);
          },
          Import),
      Define<NoOptions>("reset-rankings", "Put the four ranking tables back to their defaults",
                        kTakesFile, NoneToDeclare, ResetRankings),
      Define<NoOptions>("repair", "Make a file of another size a whole record, keeping what it has",
                        kTakesFile, NoneToDeclare, Repair),
      Define<DefaultsOptions>(
          "defaults", "Write a fresh file, as a confirmed first run with nothing changed writes it",
          kTakesFile,
          [](CommandOptions& o, DefaultsOptions& v) {
            o.Flag("--force", v.force, "replace a file that exists");
            o.Flag("--joystick", v.joystick,
                   "controller 1 on joystick 1, as when a joystick answers at start-up");
          },
          Defaults),
  };
}

}  // namespace

const std::vector<KvsetCommand>& KvsetCommands() {
  static const std::vector<KvsetCommand> commands = CommandTable();
  return commands;
}

}  // namespace cfg
