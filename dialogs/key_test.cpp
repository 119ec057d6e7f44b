#include "dialogs/key_test.h"

#include "res/resource_ids.h"

namespace cfg {

namespace {

constexpr char kStateLetters[] = "UDLR1234";  // one per binding position
constexpr int kTestedController = 0;

}  // namespace

std::array<char, kStateTextLength> StateText(PadState state) {
  std::array<char, kStateTextLength> text;
  text.fill(' ');
  for (int position = 0; position < kPositionCount; ++position) {
    if ((state & static_cast<PadState>(BindingBitTable[position])) != 0) {
      text[position] = kStateLetters[position];
    }
  }
  return text;
}

// Bindings cannot change while the test is open, so installing once holds.
void KeyTest::OnOpen(KeyTestView& view) {
  busy_ = false;
  bindings_.InstallBindingHandlers();
  view.StartTimer();
}

void KeyTest::OnCancelled(KeyTestView& view) {
  view.StopTimer();
  view.Finish(kDialogCancelled);
}

void KeyTest::OnTimer(KeyTestView& view) {
  if (busy_) return;
  busy_ = true;
  input_.PollAllInput();
  ShowControllerState(view, IDC_KEY_STATE, kTestedController);
  busy_ = false;
}

void KeyTest::ShowControllerState(KeyTestView& view, int controlId, int controller) {
  const std::array<char, kStateTextLength> text =
      StateText(bindings_.EvaluateController(controller));
  view.SetControlText(controlId, std::string_view(text.data(), text.size()));
}

}  // namespace cfg
