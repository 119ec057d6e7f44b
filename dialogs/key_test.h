// The live controller test: poll, evaluate controller 1, show eight letters.
#pragma once

#include <array>
#include <string_view>

#include "bindings/key_map.h"
#include "dialogs/modal_dialog.h"
#include "input/input.h"

namespace cfg {

constexpr int kStateTextLength = 8;

// "UDLR1234", each letter present only while its bit is set, else a space;
// built in place, as every 100 ms tick shows it.
std::array<char, kStateTextLength> StateText(PadState state);

using KeyTestView = PollingDialogView;

class KeyTest {
 public:
  KeyTest(Input& input, Bindings& bindings) : input_(input), bindings_(bindings) {}

  void OnOpen(KeyTestView& view);
  // Escape or the close box; nothing else ends the test.
  void OnCancelled(KeyTestView& view);
  void OnTimer(KeyTestView& view);

 private:
  void ShowControllerState(KeyTestView& view, int controlId, int controller);

  Input& input_;
  Bindings& bindings_;
  bool busy_ = false;
};

}  // namespace cfg
