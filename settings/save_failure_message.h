// What the player is told when KV.set cannot be saved, and asked: save again,
// or end without saving. CP932, but for the system's own text, which comes in
// UTF-8 and goes to the screen without passing through code page 932; the
// English texts are ASCII.
#pragma once

#include <string>

#include "settings/file_system.h"
#include "settings/ui_language.h"

namespace cfg {

// Shown as head, the system's text and a line end when there is one, tail.
struct SaveFailureText {
  std::string head;        // CP932: the file and the cause, a line each
  std::string systemText;  // UTF-8, or empty
  std::string tail;        // CP932: where the record is kept, if not in the file; the choice
};

// Whether saving again can help: not after a load that could not read the file whole.
bool CanRetrySave(const FileFault& fault);

// `fullPath` and `fault.keptAt` name the files as the player finds them. The
// caption is TextsOf(language).saveFailureCaption.
SaveFailureText SaveFailureMessage(const std::string& fullPath, const FileFault& fault,
                                   Language language);

}  // namespace cfg
