#include "dialogs/field_text.h"

#include <algorithm>
#include <charconv>

#include "bindings/name_tables.h"

namespace cfg {

FieldText FieldText::KeyName(const char* name) {
  FieldText text;
  text.Append(name);
  return text;
}

FieldText FieldText::PadInput(int32_t source, const char* name) {
  FieldText text;
  text.Append(kPadInputPrefix);
  text.AppendNumber(source);
  text.Append(kPadInputSeparator);
  text.Append(name);
  return text;
}

// A part that does not fit is cut; the table names always fit.
void FieldText::Append(std::string_view part) {
  const size_t count = std::min(part.size(), text_.size() - length_);
  std::copy_n(part.begin(), count, text_.begin() + length_);
  length_ += count;
}

void FieldText::AppendNumber(int32_t number) {
  char digits[12];  // "-2147483648"
  const std::to_chars_result end = std::to_chars(std::begin(digits), std::end(digits), number);
  Append(std::string_view(digits, static_cast<size_t>(end.ptr - digits)));
}

FieldText BindingFieldText(const KeyBinding& binding) {
  if (binding.source == kKeyboardSource) {
    const NameEntry* key = FindKeyName(binding.code);
    return key != nullptr ? FieldText::KeyName(key->name) : FieldText();
  }
  const NameEntry* input = FindPadButtonName(binding.code);
  return input != nullptr ? FieldText::PadInput(binding.source, input->name) : FieldText();
}

}  // namespace cfg
