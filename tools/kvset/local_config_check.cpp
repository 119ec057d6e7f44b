#include "tools/kvset/local_config_check.h"

#include <algorithm>
#include <set>
#include <sstream>

#include "settings/folder_path.h"
#include "settings/local_config.h"
#include "settings/text_codec.h"

namespace cfg {
namespace {

constexpr char kComment[] = "//";

// Lines counted as a person's editor counts them, from 1.
int LineAt(const std::string& text, size_t position) {
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + position, '\n'));
}

std::string Line(int line) {
  return "line " + std::to_string(line) + ": ";
}

// The game's reading: each DataPath applied, by its line. `scanned` is the
// text with the two NULs that end it.
std::set<int> ApplyAsTheGame(FileSystem& files, const std::vector<char>& scanned,
                             std::vector<std::string>& findings) {
  const std::string text(scanned.data(), scanned.size() - 2);
  std::set<int> lines;
  std::string token;
  std::string folder;
  size_t position = 0;
  while (scanned[position] != '\0') {
    position = NextConfigToken(scanned.data(), position, token);
    if (token != kDataPathKeyword) continue;
    // The keyword just read, not one in a comment skipped on the way to it.
    const int line = LineAt(text, std::min(text.rfind(kDataPathKeyword, position), text.size()));
    position = NextConfigToken(scanned.data(), position, folder);
    if (folder.empty()) break;
    lines.insert(line);
    if (files.ChangeDirectory(folder)) continue;
    const std::string shown = Utf8FromCp932(folder).value_or(folder);
    findings.push_back(
        Line(line) + "DataPath " + shown +
        (IsDriveOrRootPath(folder)
             ? " is a drive or root path, which the Linux kvset cannot follow (fix: a path "
               "relative to "
               "the game's folder, such as ..\\other)"
             : ": no such folder, so the game stays where it was (fix: create the folder or "
               "correct its name)"));
  }
  return lines;
}

// A person's reading: "DataPath" words by line, and whether a comment comes first.
void CompareWithThePlayer(const std::string& text, const std::set<int>& applied,
                          std::vector<std::string>& findings) {
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    const size_t word = line.find(kDataPathKeyword);
    if (word == std::string::npos || applied.count(number) != 0) continue;
    const size_t comment = line.find(kComment);
    if (comment != std::string::npos && comment < word) {
      findings.push_back(Line(number) +
                         "DataPath stands after // on its line, so the game skips it with the "
                         "comment (fix: put it on a line of its own)");
    } else {
      findings.push_back(Line(number) +
                         "the game does not see this DataPath: over a line end of LF alone "
                         "the line above runs on into it (fix: CR LF line ends)");
    }
  }
}

}  // namespace

std::vector<std::string> CheckLocalConfig(FileSystem& files) {
  const std::vector<char> scanned = ReadLocalConfigText(files);
  if (scanned.empty()) return {};
  const std::string text(scanned.data(), scanned.size() - 2);
  std::vector<std::string> findings;
  for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', end + 1)) {
    if (end > 0 && text[end - 1] == '\r') continue;
    findings.push_back(Line(LineAt(text, end)) +
                       "the line ends in LF alone; the game reads it and the next as one line "
                       "(fix: save the file with CR LF line ends, as unix2dos does)");
    break;
  }
  const std::set<int> applied = ApplyAsTheGame(files, scanned, findings);
  CompareWithThePlayer(text, applied, findings);
  std::stable_sort(findings.begin(), findings.end(),
                   [](const std::string& a, const std::string& b) {
                     return std::stoi(a.substr(5)) < std::stoi(b.substr(5));
                   });
  return findings;
}

}  // namespace cfg
