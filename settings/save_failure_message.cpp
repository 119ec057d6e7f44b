#include "settings/save_failure_message.h"

namespace cfg {
namespace {

// 設定ファイル
constexpr char kHead[] =
    "\x90\xDD\x92\xE8\x83t\x83@\x83"
    "C\x83\x8B ";
//  を保存できませんでした。
constexpr char kTail[] =
    " \x82\xF0\x95\xDB\x91\xB6\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD\x81"
    "B";
// ファイルが読み取り専用です。
constexpr char kReadOnly[] =
    "\x83t\x83@\x83"
    "C\x83\x8B\x82\xAA\x93\xC7\x82\xDD\x8E\xE6\x82\xE8\x90\xEA\x97p\x82\xC5\x82\xB7\x81"
    "B";
// ファイルを他のプログラムが使用中です。
constexpr char kInUse[] =
    "\x83t\x83@\x83"
    "C\x83\x8B\x82\xF0\x91\xBC\x82\xCC\x83v\x83\x8D\x83O\x83\x89\x83\x80\x82\xAA\x8Eg\x97p\x92\x86"
    "\x82\xC5\x82\xB7\x81"
    "B";
// 保存先のフォルダーがありません。
constexpr char kNoFolder[] =
    "\x95\xDB\x91\xB6\x90\xE6\x82\xCC\x83t\x83H\x83\x8B\x83_\x81["
    "\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81"
    "B";
// ディスクの空き不足です。
constexpr char kDiskFull[] =
    "\x83"
    "f\x83"
    "B\x83X\x83N\x82\xCC\x8B\xF3\x82\xAB\x95s\x91\xAB\x82\xC5\x82\xB7\x81"
    "B";
// 通常のファイルではありません。
constexpr char kNotAFile[] =
    "\x92\xCA\x8F\xED\x82\xCC\x83t\x83@\x83"
    "C\x83\x8B\x82\xC5\x82\xCD\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81"
    "B";
// このファイルかフォルダーを変更する権限がありません。
constexpr char kDenied[] =
    "\x82\xB1\x82\xCC\x83t\x83@\x83"
    "C\x83\x8B\x82\xA9\x83t\x83H\x83\x8B\x83_\x81[\x82\xF0\x95\xCF\x8DX\x82\xB7\x82\xE9\x8C\xA0"
    "\x8C\xC0\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81"
    "B";
// 起動時にこのファイルを最後まで読み込めませんでした。上書きすると読めなかった設定が失われるため、保存していません。
constexpr char kUnreadAtLoad[] =
    "\x8BN\x93\xAE\x8E\x9E\x82\xC9\x82\xB1\x82\xCC\x83t\x83@\x83"
    "C\x83\x8B\x82\xF0\x8D\xC5\x8C\xE3\x82\xDC\x82\xC5\x93\xC7\x82\xDD\x8D\x9E\x82\xDF\x82\xDC"
    "\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD\x81"
    "B\x8F\xE3\x8F\x91\x82\xAB\x82\xB7\x82\xE9\x82\xC6\x93\xC7\x82\xDF\x82\xC8\x82\xA9\x82\xC1"
    "\x82\xBD\x90\xDD\x92\xE8\x82\xAA\x8E\xB8\x82\xED\x82\xEA\x82\xE9\x82\xBD\x82\xDF\x81"
    "A\x95\xDB\x91\xB6\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1\x81"
    "B";
// 元のファイルはなくなりました。設定は次のファイルに残っています:
constexpr char kKeptAt[] =
    "\x8C\xB3\x82\xCC\x83t\x83@\x83"
    "C\x83\x8B\x82\xCD\x82\xC8\x82\xAD\x82\xC8\x82\xE8\x82\xDC\x82\xB5\x82\xBD\x81"
    "B\x90\xDD\x92\xE8\x82\xCD\x8E\x9F\x82\xCC\x83t\x83@\x83"
    "C\x83\x8B\x82\xC9\x8E"
    "c\x82\xC1\x82\xC4\x82\xA2\x82\xDC\x82\xB7: ";
// [再試行] でもう一度保存します。[キャンセル]
constexpr char kRetryChoice[] =
    "[\x8D\xC4\x8E\x8E\x8Ds] "
    "\x82\xC5\x82\xE0\x82\xA4\x88\xEA\x93x\x95\xDB\x91\xB6\x82\xB5\x82\xDC\x82\xB7\x81"
    "B[\x83L\x83\x83\x83\x93\x83Z\x83\x8B]";
constexpr char kOkChoice[] = "[OK]";
//  で保存せずに終了します。
constexpr char kEndWithoutSaving[] =
    " \x82\xC5\x95\xDB\x91\xB6\x82\xB9\x82\xB8\x82\xC9\x8FI\x97\xB9\x82\xB5\x82\xDC\x82\xB7\x81"
    "B";

// Our words for the cause; empty when the system's own words say it all.
std::string CauseText(const FileFault& fault) {
  switch (fault.cause) {
    case FileError::kReadOnly:
      return kReadOnly;
    case FileError::kDenied:
      return kDenied;
    case FileError::kUnreadAtLoad:
      return kUnreadAtLoad;
    case FileError::kInUse:
      return kInUse;
    case FileError::kNoFolder:
      return kNoFolder;
    case FileError::kDiskFull:
      return kDiskFull;
    case FileError::kNotAFile:
      return kNotAFile;
    default:
      return {};
  }
}

// The system's words add to ours only where they tell what we cannot.
bool ShowsSystemText(FileError cause) {
  return cause == FileError::kOther || cause == FileError::kDenied ||
         cause == FileError::kUnreadAtLoad;
}

}  // namespace

// 設定
extern const char kSaveFailureCaption[] = "\x90\xDD\x92\xE8";

bool CanRetrySave(const FileFault& fault) {
  return fault.cause != FileError::kUnreadAtLoad;
}

SaveFailureText SaveFailureMessage(const std::string& fullPath, const FileFault& fault) {
  SaveFailureText text;
  text.head = kHead + fullPath + kTail + "\n";
  const std::string cause = CauseText(fault);
  if (!cause.empty()) text.head += cause + "\n";
  if (ShowsSystemText(fault.cause)) text.systemText = fault.systemText;
  if (!fault.keptAt.empty()) text.tail = kKeptAt + fault.keptAt + "\n";
  text.tail +=
      std::string("\n") + (CanRetrySave(fault) ? kRetryChoice : kOkChoice) + kEndWithoutSaving;
  return text;
}

}  // namespace cfg
