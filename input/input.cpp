#include "input/input.h"

namespace cfg {

int Input::StartInput(uintptr_t window) {
  keyboard_.StartDirectInput(window);
  return joysticks_.EnumerateJoysticks() != 0 ? 1 : 0;
}

void Input::PollAllInput() {
  keyboard_.PollKeyboard();
  joysticks_.PollJoysticks(-1);
}

}  // namespace cfg
