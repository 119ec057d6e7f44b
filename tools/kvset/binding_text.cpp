#include "tools/kvset/binding_text.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "bindings/name_tables.h"
#include "input/key_codes.h"
#include "settings/ascii_case.h"
#include "settings/text_codec.h"

namespace cfg {
namespace {

constexpr const char* kPositionNames[kPositionCount] = {"UP", "DOWN", "LEFT", "RIGHT",
                                                        "B1", "B2",   "B3",   "B4"};
constexpr char kCleared[] = "none";
constexpr char kKeyPrefix[] = "key:";
constexpr char kPadPrefix[] = "pad";
constexpr char kSourcePrefix[] = "source";

// Words for the arrow keys, whose names are CP932 arrows a keyboard cannot type.
struct ArrowAlias {
  const char* word;
  int32_t code;
};
constexpr ArrowAlias kArrowAliases[] = {
    {"up", dik::kUp}, {"down", dik::kDown}, {"left", dik::kLeft}, {"right", dik::kRight}};

// On a match, `text` loses the prefix.
bool ConsumePrefix(std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size() || !EqualsIgnoringCase(text.substr(0, prefix.size()), prefix)) {
    return false;
  }
  text.erase(0, prefix.size());
  return true;
}

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

bool IsDigitOf(char c, bool hex) {
  const char lower = LowerAscii(c);
  return (c >= '0' && c <= '9') || (hex && lower >= 'a' && lower <= 'f');
}

std::optional<KeyBinding> Binding(int32_t source, int32_t code) {
  KeyBinding binding;
  SetBinding(binding, source, code);
  return binding;
}

// The exact name, an arrow's word, else the one name that matches ignoring
// case; nothing when two would.
std::optional<KeyBinding> ParseKeyName(const std::string& text) {
  for (const NameEntry* entry = KeyNameTable; entry->code != kEndOfTable; ++entry) {
    if (text == entry->name) return Binding(kKeyboardSource, entry->code);
  }
  for (const ArrowAlias& alias : kArrowAliases) {
    if (EqualsIgnoringCase(text, alias.word)) return Binding(kKeyboardSource, alias.code);
  }
  std::optional<KeyBinding> match;
  for (const NameEntry* entry = KeyNameTable; entry->code != kEndOfTable; ++entry) {
    if (!EqualsIgnoringCase(text, entry->name)) continue;
    if (match) return std::nullopt;
    match = Binding(kKeyboardSource, entry->code);
  }
  return match;
}

std::optional<int32_t> ParsePadInput(const std::string& text) {
  for (const NameEntry* entry = PadButtonNameTable; entry->code != kEndOfTable; ++entry) {
    if (EqualsIgnoringCase(text, entry->name)) return entry->code;
  }
  return ParseInt32(text);
}

// After "pad": the joystick's digit, a colon, and the input.
std::optional<KeyBinding> ParsePadBinding(const std::string& text) {
  if (text.size() < 3 || text[1] != ':') return std::nullopt;
  const int joystick = text[0] - '0';
  if (!IsJoystickSource(joystick)) return std::nullopt;
  const std::optional<int32_t> code = ParsePadInput(text.substr(2));
  if (!code) return std::nullopt;
  return Binding(joystick, *code);
}

// After "source": the source, a colon, and the code.
std::optional<KeyBinding> ParseSourceBinding(const std::string& text) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos) return std::nullopt;
  const std::optional<int32_t> source = ParseInt32(text.substr(0, colon));
  const std::optional<int32_t> code = ParseInt32(text.substr(colon + 1));
  if (!source || !code) return std::nullopt;
  return Binding(*source, *code);
}

std::string KeyText(int32_t code) {
  const NameEntry* name = FindKeyName(code);
  return name != nullptr ? name->name : kKeyPrefix + std::to_string(code);
}

std::string PadText(int32_t joystick, int32_t code) {
  const NameEntry* name = FindPadButtonName(code);
  return kPadInputPrefix + std::to_string(joystick) + kPadInputSeparator +
         (name != nullptr ? name->name : Hex(static_cast<uint32_t>(code)));
}

}  // namespace

std::optional<int32_t> ParseInt32(const std::string& text) {
  constexpr size_t kMostDigits = 16;  // far below what overflows the conversion
  std::string digits = text;
  const bool hex = ConsumePrefix(digits, "0x");
  const bool negative = !hex && !digits.empty() && digits[0] == '-';
  if (negative) digits.erase(0, 1);
  if (digits.empty() || digits.size() > kMostDigits) return std::nullopt;
  for (const char c : digits) {
    if (!IsDigitOf(c, hex)) return std::nullopt;
  }
  const long long magnitude = std::strtoll(digits.c_str(), nullptr, hex ? 16 : 10);
  if (hex) {
    if (magnitude > 0xFFFFFFFFLL) return std::nullopt;
    return static_cast<int32_t>(static_cast<uint32_t>(magnitude));
  }
  const long long value = negative ? -magnitude : magnitude;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

bool IsClearedBinding(const KeyBinding& binding) {
  return binding.source == kKeyboardSource && binding.code == 0;
}

std::string BindingText(const KeyBinding& binding) {
  if (IsClearedBinding(binding)) return kCleared;
  if (binding.source == kKeyboardSource) return KeyText(binding.code);
  if (IsJoystickSource(binding.source)) return PadText(binding.source, binding.code);
  return kSourcePrefix + std::to_string(binding.source) + ":" +
         Hex(static_cast<uint32_t>(binding.code));
}

std::string BindingTextUtf8(const KeyBinding& binding) {
  // Every table name converts; were one not to, its bytes would be shown as they are.
  const std::string text = BindingText(binding);
  return Utf8FromCp932(text).value_or(text);
}

std::optional<KeyBinding> ParseBindingText(const std::string& text) {
  if (EqualsIgnoringCase(text, kCleared)) return Binding(kKeyboardSource, 0);
  if (const std::optional<KeyBinding> key = ParseKeyName(text)) return key;
  std::string rest = text;
  if (ConsumePrefix(rest, kKeyPrefix)) {
    const std::optional<int32_t> code = ParseInt32(rest);
    return code ? Binding(kKeyboardSource, *code) : std::nullopt;
  }
  if (ConsumePrefix(rest, kSourcePrefix)) return ParseSourceBinding(rest);
  if (ConsumePrefix(rest, kPadPrefix)) return ParsePadBinding(rest);
  return std::nullopt;
}

std::vector<std::string> KeyNamesUtf8() {
  std::vector<std::string> names;
  for (const NameEntry* entry = KeyNameTable; entry->code != kEndOfTable; ++entry) {
    names.push_back(Utf8FromCp932(entry->name).value_or(entry->name));
  }
  return names;
}

std::vector<std::string> ArrowWords() {
  std::vector<std::string> words;
  for (const ArrowAlias& alias : kArrowAliases) words.push_back(alias.word);
  return words;
}

std::vector<std::string> PadInputNames() {
  std::vector<std::string> names;
  for (const NameEntry* entry = PadButtonNameTable; entry->code != kEndOfTable; ++entry) {
    names.push_back(entry->name);
  }
  return names;
}

std::vector<std::string> InputWordsUtf8() {
  std::vector<std::string> words = KeyNamesUtf8();
  const std::vector<std::string> arrows = ArrowWords();
  words.insert(words.end(), arrows.begin(), arrows.end());
  words.push_back(kCleared);
  for (int joystick = kFirstJoystickSource; joystick <= kLastJoystickSource; ++joystick) {
    for (const std::string& name : PadInputNames()) {
      words.push_back(kPadPrefix + std::to_string(joystick) + ":" + name);
    }
  }
  return words;
}

std::string PositionName(int position) {
  return kPositionNames[position];
}

std::optional<int> ParsePositionName(const std::string& name) {
  for (int position = 0; position < kPositionCount; ++position) {
    if (EqualsIgnoringCase(name, kPositionNames[position])) return position;
  }
  return std::nullopt;
}

}  // namespace cfg
