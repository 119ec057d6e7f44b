// Press-to-bind: the capture state machine of the button-assignment dialog.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "bindings/key_map.h"
#include "dialogs/modal_dialog.h"
#include "input/joystick.h"
#include "input/keyboard.h"

namespace cfg {

constexpr PadState kCaptureMask = 0xF03FF;  // B1-B10 and the four directions

constexpr int kNoField = -1;

// What the capture needs of the dialog on screen.
class ButtonAssignView : public PollingDialogView {
 public:
  // Moving the focus makes the platform report the field left and the field
  // focused (OnFieldLeft, OnFieldFocused).
  virtual void FocusControl(int id) = 0;
};

// Position 0-7 of a binding field id, kNoField for any other id.
int FieldPosition(int fieldId);

class ButtonAssign {
 public:
  ButtonAssign(Keyboard& keyboard, Joysticks& joysticks)
      : keyboard_(keyboard), joysticks_(joysticks) {}

  // Copies one controller's bindings into the working copy.
  void BeginEditing(const uint8_t* keyMap, int controller);
  // Copies the working copy back over the same controller.
  void CommitTo(uint8_t* keyMap, int controller) const;

  // Dialog events; the Win32 procedure translates the platform's messages.
  void OnOpen(ButtonAssignView& view);
  void OnFieldFocused(int position);  // the binding field at 0-7 took the focus
  void OnFieldLeft();                 // a binding field lost it
  void OnConfirmed(ButtonAssignView& view);
  void OnCancelled(ButtonAssignView& view);
  void OnClose(ButtonAssignView& view);
  void OnTimer(ButtonAssignView& view);

  const ControllerBindings& working() const { return working_; }
  int focusedPosition() const { return focusedPosition_; }

 private:
  using PadWords = std::array<PadState, kJoystickSlots>;

  void Capture(ButtonAssignView& view);
  PadState ReadMaskedPad(int index);
  PadWords ReadPads();
  bool CapturePad(ButtonAssignView& view, const PadWords& pads);
  void CaptureKey(ButtonAssignView& view);
  void Assign(ButtonAssignView& view, std::string_view text, int32_t source, int32_t code);
  void SetFieldAndAdvance(ButtonAssignView& view, int position, std::string_view text);

  Keyboard& keyboard_;
  Joysticks& joysticks_;
  ControllerBindings working_{};
  KeyStateBuffer keys_{};
  // Pad bits already active at the first tick; left out of capture until
  // each has been released once, so a stick resting off-centre blocks nothing.
  PadWords resting_{};
  bool firstTick_ = true;
  int focusedPosition_ = kNoField;
  int32_t lastCapturedKey_ = -1;
  PadState lastCapturedPadWord_ = 0;
  int lastCapturedPad_ = 0;
  int keyGate_ = -1;
  bool busy_ = false;
};

}  // namespace cfg
