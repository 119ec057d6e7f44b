#include "input/input.h"

namespace cfg {

void Input::StartInput(uintptr_t window) {
  keyboard_.StartDirectInput(window);
  joysticks_.EnumerateJoysticks();
}

void Input::PollAllInput() {
  keyboard_.PollKeyboard();
  joysticks_.PollJoysticks(-1);
}

}  // namespace cfg
