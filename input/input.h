// The two operations that span the whole input subsystem.
#pragma once

#include "input/joystick.h"
#include "input/keyboard.h"

namespace cfg {

class Input {
 public:
  Input(Keyboard& keyboard, Joysticks& joysticks) : keyboard_(keyboard), joysticks_(joysticks) {}

  // DirectInput first, then the joystick list.
  void StartInput(uintptr_t window);
  // The shared keyboard snapshot, then every present joystick's saved word.
  void PollAllInput();

 private:
  Keyboard& keyboard_;
  Joysticks& joysticks_;
};

}  // namespace cfg
