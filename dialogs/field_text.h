// The text of a binding field, held in place: a capture on a 100 ms tick
// builds it without touching the heap.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "bindings/key_map.h"

namespace cfg {

class FieldText {
 public:
  FieldText() = default;  // empty: a binding without a name

  // A key's name, as the KeyNameTable spells it.
  static FieldText KeyName(const char* name);
  // "PAD<source>:<name>", with the joystick numbered as bindings number it.
  static FieldText PadInput(int32_t source, const char* name);

  std::string_view view() const { return {text_.data(), length_}; }

 private:
  void Append(std::string_view part);
  void AppendNumber(int32_t number);

  // "PAD-2147483648:" and a 31-byte name.
  std::array<char, 48> text_{};
  size_t length_ = 0;
};

// A key name, "PAD<source>:<name>", or empty when the code has no name.
FieldText BindingFieldText(const KeyBinding& binding);

}  // namespace cfg
