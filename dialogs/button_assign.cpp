#include "dialogs/button_assign.h"

#include "bindings/name_tables.h"
#include "dialogs/field_text.h"
#include "res/resource_ids.h"

namespace cfg {

namespace {

constexpr int32_t kNoKey = -1;
constexpr int kGateOpen = -1;
constexpr int kGateClosed = 1;

struct Field {
  int id;
  int next;  // where the focus goes after a capture
};

// In KeyMap position order; the ids do not run in that order.
constexpr std::array<Field, kPositionCount> kFields = {{
    {IDC_FIELD_UP, IDC_FIELD_DOWN},
    {IDC_FIELD_DOWN, IDC_FIELD_LEFT},
    {IDC_FIELD_LEFT, IDC_FIELD_RIGHT},
    {IDC_FIELD_RIGHT, IDC_FIELD_B1},
    {IDC_FIELD_B1, IDC_FIELD_B2},
    {IDC_FIELD_B2, IDC_FIELD_B3},
    {IDC_FIELD_B3, IDC_FIELD_B4},
    {IDC_FIELD_B4, IDC_ASSIGN_CONFIRM},
}};

}  // namespace

int FieldPosition(int fieldId) {
  for (int position = 0; position < kPositionCount; ++position) {
    if (kFields[position].id == fieldId) return position;
  }
  return kNoField;
}

void ButtonAssign::BeginEditing(const uint8_t* keyMap, int controller) {
  working_ = LoadControllerBindings(keyMap, controller);
}

void ButtonAssign::CommitTo(uint8_t* keyMap, int controller) const {
  StoreControllerBindings(keyMap, controller, working_);
}

void ButtonAssign::OnOpen(ButtonAssignView& view) {
  focusedPosition_ = kNoField;
  lastCapturedKey_ = kNoKey;
  lastCapturedPadWord_ = 0;  // which pad it came from matters no more
  keyGate_ = kGateOpen;
  busy_ = false;
  firstTick_ = true;
  view.StartTimer();
  for (int position = 0; position < kPositionCount; ++position) {
    view.SetControlText(kFields[position].id, BindingFieldText(working_[position]).view());
  }
}

void ButtonAssign::OnFieldFocused(int position) {
  focusedPosition_ = position;
}

void ButtonAssign::OnFieldLeft() {
  focusedPosition_ = kNoField;
}

void ButtonAssign::OnConfirmed(ButtonAssignView& view) {
  view.StopTimer();
  view.Finish(kDialogConfirmed);
}

void ButtonAssign::OnCancelled(ButtonAssignView& view) {
  view.StopTimer();
  view.Finish(kDialogCancelled);
}

void ButtonAssign::OnClose(ButtonAssignView& view) {
  view.Finish(kDialogCancelled);
}

void ButtonAssign::OnTimer(ButtonAssignView& view) {
  if (busy_) return;
  busy_ = true;
  Capture(view);
  busy_ = false;
}

// A held input is taken once, and nothing else is taken until it is released.
void ButtonAssign::Capture(ButtonAssignView& view) {
  keyboard_.PollKeyboardInto(keys_);
  if (lastCapturedKey_ != kNoKey && keyboard_.IsKeyDownIn(keys_, lastCapturedKey_)) return;

  const PadWords pads = ReadPads();
  if (lastCapturedPadWord_ != 0 && (pads[lastCapturedPad_] & lastCapturedPadWord_) != 0) return;

  lastCapturedKey_ = kNoKey;
  lastCapturedPadWord_ = 0;
  if (CapturePad(view, pads)) return;
  CaptureKey(view);
}

PadState ButtonAssign::ReadMaskedPad(int index) {
  if (!joysticks_.present(index)) return 0;
  PadState state = 0;  // stays 0 when the joystick cannot be read
  joysticks_.ReadJoystick(static_cast<uint32_t>(index), state);
  return state & kCaptureMask;
}

ButtonAssign::PadWords ButtonAssign::ReadPads() {
  PadWords pads{};
  for (int index = 0; index < kJoystickSlots; ++index) pads[index] = ReadMaskedPad(index);
  if (firstTick_) {
    resting_ = pads;
    firstTick_ = false;
  }
  for (int index = 0; index < kJoystickSlots; ++index) {
    resting_[index] &= pads[index];  // a bit seen released leaves the resting set for good
    pads[index] &= ~resting_[index];
  }
  return pads;
}

// Pads go before keys: any active pad word ends the tick, named or not, and
// a word that names nothing (a chord) still holds the gate until released.
bool ButtonAssign::CapturePad(ButtonAssignView& view, const PadWords& pads) {
  for (int index = 0; index < kJoystickSlots; ++index) {
    if (pads[index] == 0) continue;
    keyGate_ = kGateClosed;
    lastCapturedPadWord_ = pads[index];
    lastCapturedPad_ = index;
    const NameEntry* input = FindPadButtonName(static_cast<int32_t>(pads[index]));
    if (input != nullptr) {
      const int32_t source = kFirstJoystickSource + index;
      Assign(view, FieldText::PadInput(source, input->name).view(), source, input->code);
    }
    return true;
  }
  return false;
}

// The lowest held key in table order wins, except that after a capture a run
// of held keys at the start of the table is passed over until a key is up.
void ButtonAssign::CaptureKey(ButtonAssignView& view) {
  int run = keyGate_;
  for (const NameEntry* key = KeyNameTable; key->code != kEndOfTable; ++key) {
    if (!keyboard_.IsKeyDownIn(keys_, key->code)) {
      run = kGateOpen;
      continue;
    }
    if (run != kGateOpen) continue;
    keyGate_ = kGateClosed;
    lastCapturedKey_ = key->code;
    Assign(view, key->name, kKeyboardSource, key->code);
    return;
  }
  keyGate_ = run;
}

// Shows the input in the focused field and binds it there; with no field
// focused the input is taken all the same, and nothing is assigned.
void ButtonAssign::Assign(ButtonAssignView& view, std::string_view text, int32_t source,
                          int32_t code) {
  const int position = focusedPosition_;
  if (position == kNoField) return;
  SetFieldAndAdvance(view, position, text);
  SetBinding(working_[position], source, code);
}

void ButtonAssign::SetFieldAndAdvance(ButtonAssignView& view, int position, std::string_view text) {
  view.SetControlText(kFields[position].id, text);
  view.FocusControl(kFields[position].next);
}

}  // namespace cfg
