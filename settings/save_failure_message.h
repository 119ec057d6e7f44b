// What the player is told when KV.set cannot be saved, and asked: save again,
// or end without saving. CP932.
#pragma once

#include <string>

#include "settings/file_system.h"

namespace cfg {

extern const char kSaveFailureCaption[];

// `fullPath` names the file as the player finds it.
std::string SaveFailureMessage(const std::string& fullPath, const FileFault& fault);

}  // namespace cfg
