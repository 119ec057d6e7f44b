// LocalConfig\LocalConfig.Txt: "DataPath" entries that move the working folder.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "settings/file_system.h"

namespace cfg {

constexpr size_t kLocalConfigMaxSize = 8194;  // bytes of text that fit the text area
constexpr size_t kConfigTokenMaxSize = 127;   // bytes of a token that fit its buffer
// The file, from the game's folder.
constexpr char kLocalConfigTextName[] = "LocalConfig\\LocalConfig.Txt";
// The one keyword: the folder after it becomes the current directory.
constexpr char kDataPathKeyword[] = "DataPath";

// Collects the next token of `text` (NUL-terminated, with a second NUL behind
// the first) starting at `position`; returns the position where the next call
// goes on. `token` is empty when the text ends before a token begins. A token
// longer than kConfigTokenMaxSize is returned whole: the caller decides. A NUL
// ends the text wherever it stands, also right after a CR or a lead byte.
size_t NextConfigToken(const char* text, size_t position, std::string& token);

// The bytes of .\LocalConfig\LocalConfig.Txt as the game takes them, followed
// by two NULs; empty when there is no usable file. A file over
// kLocalConfigMaxSize bytes is ignored whole rather than cut, so a truncated
// folder is never applied.
std::vector<char> ReadLocalConfigText(FileSystem& files);

// Reads .\LocalConfig\LocalConfig.Txt and applies every DataPath entry in order.
// Returns the prior directory: empty, or the directory that was current before
// the last applied entry, ending in a backslash. A file over kLocalConfigMaxSize
// bytes is ignored whole; a folder over kConfigTokenMaxSize bytes is not applied.
std::string ReadLocalConfig(FileSystem& files);

}  // namespace cfg
