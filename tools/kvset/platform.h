// What differs between the Linux kvset and kvset.exe: the command line, the
// files and the text on the standard streams. Everything here is UTF-8.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "settings/file_system.h"

namespace cfg {

// The words after the program's name.
std::vector<std::string> CommandLineWords(int argc, char** argv);
// For the names typed on the command line.
std::unique_ptr<FileSystem> PlatformFileSystem();
// False when the text could not be written whole (closed, a full disk).
bool WriteStandardOutput(const std::string& text);
void WriteStandardError(const std::string& text);
// All of standard input, as bytes.
std::string ReadStandardInput();

}  // namespace cfg
