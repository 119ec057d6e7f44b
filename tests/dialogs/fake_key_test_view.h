// Dialog 103 on screen, in fixed storage so that a tick touches no heap. A
// view given `reentered` runs a second tick of it from inside each text it is
// shown, as a message pumped there would.
#pragma once

#include "dialogs/key_test.h"
#include "tests/dialogs/fake_button_assign_view.h"

namespace cfg::testing {

class FakeKeyTestView : public KeyTestView {
 public:
  explicit FakeKeyTestView(KeyTest* reentered = nullptr) : reentered_(reentered) {}

  std::string text(int id) const { return texts_.Get(id); }
  int shown() const { return texts_.shown(); }
  bool timerRunning = false;
  std::optional<int> result;

  void SetControlText(int id, std::string_view text) override {
    texts_.Set(id, text);
    if (reentered_ != nullptr) reentered_->OnTimer(*this);
  }
  void StartTimer() override { timerRunning = true; }
  void StopTimer() override { timerRunning = false; }
  void Finish(int result) override { this->result = result; }

 private:
  KeyTest* reentered_;
  ControlTexts<2> texts_{{IDC_KEY_TEST_HIDDEN, IDC_KEY_STATE}};
};

}  // namespace cfg::testing
