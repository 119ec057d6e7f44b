// Bindings as text: what `show` and `export` write and `bind` and `import` read.
//   none          cleared: source 0, code 0
//   z  Home  ↓    a key by its name in the KeyNameTable
//   key:300       a key by its DirectInput code
//   PAD2:B1       joystick 2, an input by its name in the PadButtonNameTable
//   PAD2:0x30     joystick 2, a PadState mask
//   source7:0x5   a source outside 0-4, kept as it is
// Texts are CP932. Key names match in any case where only one name matches
// (exact case first); up, down, left and right name the arrow keys; the words
// none, key, pad and source and the pad input names match in any case.
// Numbers are decimal or 0x hex.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bindings/key_map.h"

namespace cfg {

std::string BindingText(const KeyBinding& binding);
// The same in UTF-8, for output.
std::string BindingTextUtf8(const KeyBinding& binding);
// Source and code of the binding the text names (handler 0); nothing when it names none.
std::optional<KeyBinding> ParseBindingText(const std::string& text);

// Every key name in table order, in UTF-8.
std::vector<std::string> KeyNamesUtf8();
// "up", "down", "left", "right".
std::vector<std::string> ArrowWords();
// Every joystick input name: UP ... B16.
std::vector<std::string> PadInputNames();
// Every word that names an input, for suggestions: key names, arrow words,
// none, and padN:NAME for each joystick.
std::vector<std::string> InputWordsUtf8();

// "UP" ... "B4".
std::string PositionName(int position);
// Any case; nothing for a word that names no position.
std::optional<int> ParsePositionName(const std::string& name);

// A number as kvset reads one everywhere: a signed decimal in the int32
// range, or 0x and up to eight hex digits taken as the bits of an int32.
std::optional<int32_t> ParseInt32(const std::string& text);

// True for a cleared binding (source 0, code 0).
bool IsClearedBinding(const KeyBinding& binding);

}  // namespace cfg
