// The interface's languages and their texts: Japanese, the default, and
// English on request. One table per language; another language is one more
// table and one more template set in the resources.
#pragma once

#include <string_view>

namespace cfg {

enum class Language { kJapanese, kEnglish };

// The texts the program shows outside its dialog templates. The Japanese ones
// are CP932, the English ones ASCII.
struct UiTexts {
  const char* code;            // the value of the command line's switch
  const char* hostWindowName;  // the task bar's
  const char* scoreResetQuestion;
  const char* scoreResetCaption;
  const char* saveFailureCaption;
  const char* saveHead;  // then the file's path
  const char* saveTail;
  // The causes of a failed save.
  const char* readOnly;
  const char* inUse;
  const char* noFolder;
  const char* diskFull;
  const char* notAFile;
  const char* denied;
  const char* unreadAtLoad;
  const char* keptAt;  // then the path of the copy that holds the record
  const char* retryChoice;
  const char* okChoice;
  const char* endWithoutSaving;
};

const UiTexts& TextsOf(Language language);

// The language a command line asks for with /lang:XX, -lang XX or --lang=XX
// (in any case; the last one counts): Japanese without one, or for a value
// that names no table.
Language LanguageFromCommandLine(std::string_view commandLine);

}  // namespace cfg
