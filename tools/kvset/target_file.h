// The file a command works on: FILE as typed, or with `--game DIR` the KV.set
// Config.exe in that folder reads, found as Config.exe finds it; and the
// warning for a file the game does not read.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "settings/file_system.h"
#include "tools/kvset/kvset.h"
#include "tools/kvset/record_file.h"

namespace cfg {

// Says "kvset: NAME: MESSAGE" on standard error.
int Fail(std::ostream& err, const std::string& name, const std::string& message);

// A name typed on the command line, in the file system's own form; false,
// said on `err`, when it has none.
bool PathOfName(FileSystem& files, const std::string& name, std::string& path, std::ostream& err);

// FILE, or --game DIR in its place, as given.
struct FileArgument {
  std::string file;
  std::string game;
};

// Found on first use, once; each operation says on standard error what went
// wrong, and which file --game chose.
class TargetFile {
 public:
  TargetFile(const FileArgument& argument, const KvsetFiles& files, const InputReader& in,
             std::ostream& err)
      : argument_(argument), files_(files), in_(in), err_(err) {}

  // FILE or --game DIR, to name where an argument belongs before the file is found.
  std::string Word() const {
    return argument_.game.empty() ? argument_.file : "--game " + argument_.game;
  }
  // The file as messages name it, once found.
  const std::string& Name() const { return name_; }
  // In the named file system's form, once found; empty for standard input.
  const std::string& Path() const { return path_; }
  // Path() from the root (UTF-8 on Windows).
  std::string AbsolutePath() const;

  // What --game found in LocalConfig.Txt, each line naming the file; after Locate.
  const std::vector<std::string>& GameFindings() const { return gameFindings_; }

  bool Locate();
  bool Exists();
  // FILE "-" reads standard input; a change or a write refuses it.
  bool Read(RecordFile& file);
  // Read, edit and replace under the change lock.
  bool Change(const RecordEdit& edit);
  // The edit on what Change would read, written nowhere (--dry-run).
  bool Preview(const RecordEdit& edit);
  bool Write(const SettingsRecord& record);

 private:
  bool LocateGameFile();
  void WarnWhenShadowed();
  bool Report(bool done);
  bool ReportSave(bool done);

  const FileArgument& argument_;
  bool IsStandardInput() const;
  bool SayWhichFile(bool changes);
  bool RefusedStandardInput();

  const KvsetFiles& files_;
  const InputReader& in_;
  std::ostream& err_;
  std::string error_;
  bool located_ = false;
  std::string path_;
  std::string name_;
  std::string gameNote_;  // which file --game chose, until said
  bool gameFileMissing_ = false;
  std::vector<std::string> gameFindings_;
};

}  // namespace cfg
