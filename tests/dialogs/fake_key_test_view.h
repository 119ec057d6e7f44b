// Dialog 103 on screen, in fixed storage so that a tick touches no heap.
#pragma once

#include "dialogs/key_test.h"
#include "tests/dialogs/fake_button_assign_view.h"

namespace cfg::testing {

class FakeKeyTestView : public KeyTestView {
 public:
  // A view that runs a second tick of `dialog` from inside each text it is
  // shown, as a message pumped there would.
  explicit FakeKeyTestView(KeyTest* reentered = nullptr) : reentered_(reentered) {}

  std::string text(int id) const { return texts_.Get(id); }
  int shown() const { return texts_.shown(); }
  bool timerRunning() const { return timerRunning_; }
  std::optional<int> result() const { return result_; }

  void SetControlText(int id, std::string_view text) override {
    texts_.Set(id, text);
    if (reentered_ != nullptr) reentered_->OnTimer(*this);
  }
  void StartTimer() override { timerRunning_ = true; }
  void StopTimer() override { timerRunning_ = false; }
  void Finish(int result) override { result_ = result; }

 private:
  KeyTest* reentered_;
  ControlTexts<2> texts_{{IDC_KEY_TEST_HIDDEN, IDC_KEY_STATE}};
  bool timerRunning_ = false;
  std::optional<int> result_;
};

}  // namespace cfg::testing
