// Dialog 103 on screen. A view given `reentered` runs a second tick of it from
// inside each text it is shown, as a message pumped there would.
#pragma once

#include "dialogs/key_test.h"
#include "tests/dialogs/fake_button_assign_view.h"

namespace cfg::testing {

class FakeKeyTestView : public FakeDialogView<KeyTestView, IDC_KEY_TEST_HIDDEN, IDC_KEY_STATE> {
 public:
  explicit FakeKeyTestView(KeyTest* reentered = nullptr) : reentered_(reentered) {}

  void SetControlText(int id, std::string_view text) override {
    FakeDialogView::SetControlText(id, text);
    if (reentered_ != nullptr) reentered_->OnTimer(*this);
  }

 private:
  KeyTest* reentered_;
};

}  // namespace cfg::testing
