#include "settings/save_failure_message.h"

#include "settings/ui_language.h"

namespace cfg {
namespace {

// Our words for the cause; empty when the system's own words say it all.
std::string CauseText(const FileFault& fault, const UiTexts& texts) {
  switch (fault.cause) {
    case FileError::kReadOnly:
      return texts.readOnly;
    case FileError::kDenied:
      return texts.denied;
    case FileError::kUnreadAtLoad:
      return texts.unreadAtLoad;
    case FileError::kInUse:
      return texts.inUse;
    case FileError::kNoFolder:
      return texts.noFolder;
    case FileError::kDiskFull:
      return texts.diskFull;
    case FileError::kNotAFile:
      return texts.notAFile;
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

bool CanRetrySave(const FileFault& fault) {
  return fault.cause != FileError::kUnreadAtLoad;
}

SaveFailureText SaveFailureMessage(const std::string& fullPath, const FileFault& fault,
                                   Language language) {
  const UiTexts& texts = TextsOf(language);
  SaveFailureText text;
  text.head = texts.saveHead + fullPath + texts.saveTail + "\n";
  const std::string cause = CauseText(fault, texts);
  if (!cause.empty()) text.head += cause + "\n";
  if (ShowsSystemText(fault.cause)) text.systemText = fault.systemText;
  if (!fault.keptAt.empty()) text.tail = texts.keptAt + fault.keptAt + "\n";
  text.tail += std::string("\n") + (CanRetrySave(fault) ? texts.retryChoice : texts.okChoice) +
               texts.endWithoutSaving;
  return text;
}

}  // namespace cfg
