#include "tools/kvset/target_file.h"

#include <optional>

#include "settings/folder_path.h"
#include "settings/settings_folders.h"
#include "settings/settings_store.h"

#include "settings/ascii_case.h"
#include "tools/kvset/export_output.h"
#include "tools/kvset/game_folder.h"
#include "tools/kvset/named_path.h"
#include "tools/kvset/record_bytes.h"
#include "tools/kvset/save_refusal.h"

namespace cfg {
namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool IsDataFolderName(const std::string& name) {
  return EqualsIgnoringCase(name, kDataFolderName);
}

// The position after the last separator before `end`, or 0.
size_t NameStart(const std::string& path, size_t end) {
  // CP932 trail bytes never equal a separator's byte but for 0x5C; a name
  // ending in such a character only misses the warning.
  while (end > 0 && !IsSeparator(path[end - 1])) --end;
  return end;
}

bool FileOpens(FileSystem& files, const std::string& path) {
  const FileSystem::Handle file = files.FileOpenRead(path);
  if (file == FileSystem::kNoHandle) return false;
  files.FileClose(file);
  return true;
}

// For a `path` in a folder named Data: the LocalConfig\KV.set beside that
// folder when it opens (the game reads that one first); else nothing. The
// names are matched as the game's file system matches them.
std::optional<std::string> ShadowingFile(FileSystem& files, const std::string& path) {
  const size_t fileStart = NameStart(path, path.size());
  if (fileStart == 0) return std::nullopt;
  const size_t folderStart = NameStart(path, fileStart - 1);
  if (!IsDataFolderName(path.substr(folderStart, fileStart - 1 - folderStart))) return std::nullopt;
  // In the path's own separator.
  const char separator = path[fileStart - 1];
  const std::string gameFolder = path.substr(0, folderStart);
  const std::string folder =
      gameFolder + NameInFolder(gameFolder, kLocalConfigFolderName) + separator;
  const std::string shadowing = folder + NameInFolder(folder, kSettingsFileName);
  if (!FileOpens(files, shadowing)) return std::nullopt;
  return shadowing;
}

}  // namespace

int Fail(std::ostream& err, const std::string& name, const std::string& message) {
  err << "kvset: " << name << ": " << message << "\n";
  return kExitError;
}

bool PathOfName(FileSystem& files, const std::string& name, std::string& path, std::ostream& err) {
  const std::optional<std::string> converted = files.PathFromUtf8(name);
  if (!converted) {
    Fail(err, name, "the name has characters that code page 932 lacks");
    return false;
  }
  path = *converted;
  return true;
}

bool TargetFile::Locate() {
  if (located_) return true;
  if (!argument_.game.empty()) {
    located_ = LocateGameFile();
    return located_;
  }
  if (IsStandardInput()) {
    name_ = "standard input";
    located_ = true;
    return true;
  }
  if (!PathOfName(files_.named, argument_.file, path_, err_)) return false;
  name_ = argument_.file;
  WarnWhenShadowed();
  located_ = true;
  return true;
}

bool TargetFile::LocateGameFile() {
  const std::string where = Word();
  std::string folder;
  if (!PathOfName(files_.named, argument_.game, folder, err_)) return false;
  GameFile file;
  std::string error;
  if (!files_.game.Find(folder, file, error)) {
    Fail(err_, where, error);
    return false;
  }
  path_ = file.path;
  name_ = file.name;
  gameNote_ = file.found ? "the game's file is " + name_
                         : "no KV.set yet; " + name_ + " is where Config.exe saves it";
  gameFileMissing_ = !file.found;
  for (const std::string& finding : file.localConfigFindings) {
    gameFindings_.push_back(file.localConfigName + ": " + finding);
  }
  return true;
}

// Said once, by the first operation that uses the file; a change of a file
// that is not there says instead how to make it.
bool TargetFile::SayWhichFile(bool changes) {
  if (gameNote_.empty()) return true;
  if (changes && gameFileMissing_) {
    Fail(err_, Word(),
         "no KV.set yet; make one with 'kvset defaults " + Word() + "' (it goes to " + name_ + ")");
    return false;
  }
  err_ << "kvset: " << Word() << ": " << gameNote_ << "\n";
  gameNote_.clear();
  return true;
}

void TargetFile::WarnWhenShadowed() {
  const std::optional<std::string> shadowing = ShadowingFile(files_.named, path_);
  if (!shadowing) return;
  err_ << "kvset: warning: " << name_ << ": the game reads " << *shadowing
       << " instead while that file exists\n";
}

bool TargetFile::Report(bool done) {
  if (!done) Fail(err_, name_, error_);
  return done;
}

bool TargetFile::IsStandardInput() const {
  return argument_.game.empty() && argument_.file == kStandardStream;
}

// "read-only" covers a folder the user may not write in and a file of
// another user too; each has its own fix.
bool TargetFile::ReportSave(bool done) {
  if (!done && files_.named.LastFault().cause == FileError::kReadOnly) {
    const std::optional<std::string> cause = SaveRefusalCause(path_);
    if (cause) error_ = "cannot write the file: " + *cause + "; it was not changed";
  }
  return Report(done);
}

std::string TargetFile::AbsolutePath() const {
  if (path_.empty() || IsDriveOrRootPath(path_)) return Utf8OfNamedPath(path_);
  const std::string folder = files_.named.CurrentDirectory();
  const char separator = folder.rfind('/', 0) == 0 ? '/' : '\\';
  std::string relative = path_;
  while (relative.size() > 2 && relative[0] == '.' && IsSeparator(relative[1])) {
    relative.erase(0, 2);
  }
  return Utf8OfNamedPath(folder + (IsSeparator(folder.back()) ? "" : std::string(1, separator)) +
                         relative);
}

bool TargetFile::Exists() {
  SayWhichFile(false);
  return FileOpens(files_.named, path_);
}

bool TargetFile::Read(RecordFile& file) {
  if (!Locate() || !SayWhichFile(false)) return false;
  if (IsStandardInput()) {
    file = RecordFileOfBytes(in_());
    return true;
  }
  return Report(ReadRecordFile(files_.named, path_, file, error_));
}

bool TargetFile::Change(const RecordEdit& edit) {
  return Locate() && !RefusedStandardInput() && SayWhichFile(true) &&
         ReportSave(ChangeRecordFile(files_.named, path_, edit, error_));
}

bool TargetFile::Preview(const RecordEdit& edit) {
  SettingsRecord record;
  return Locate() && !RefusedStandardInput() && SayWhichFile(true) &&
         Report(ReadChangeableRecord(files_.named, path_, record, error_) && edit(record, error_));
}

bool TargetFile::Write(const SettingsRecord& record) {
  return Locate() && !RefusedStandardInput() && SayWhichFile(false) &&
         ReportSave(WriteRecordFile(files_.named, path_, record, error_));
}

bool TargetFile::RefusedStandardInput() {
  if (!IsStandardInput()) return false;
  Fail(err_, argument_.file, "standard input cannot be changed; give the file's name");
  return true;
}

}  // namespace cfg
