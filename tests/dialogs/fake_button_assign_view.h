// Dialogs 102 and 103 on screen, in storage made up front so that a tick
// touches no heap: the texts of their controls, the count of texts set, the
// timer and the result. Moving the focus in dialog 102 reports the field left
// and the field focused back to the dialog, as its Win32 procedure does.
#pragma once

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dialogs/button_assign.h"
#include "dialogs/key_test.h"
#include "res/resource_ids.h"
#include "tests/support/fake_input_devices.h"

namespace cfg::testing {

template <typename View>
class FakeDialogView : public View {
 public:
  std::string text(int id) const { return texts_.at(id).data(); }
  int shown() const { return shown_; }
  bool timerRunning = false;
  std::optional<int> result;

  void SetControlText(int id, std::string_view text) override {
    ++shown_;
    std::array<char, 64>& to = texts_.at(id);
    to = {};
    std::copy_n(text.begin(), std::min(text.size(), to.size() - 1), to.begin());
  }
  void StartTimer() override { timerRunning = true; }
  void StopTimer() override { timerRunning = false; }
  void Finish(int result) override { this->result = result; }

 private:
  std::vector<std::array<char, 64>> texts_ = std::vector<std::array<char, 64>>(IDC_KEY_STATE + 1);
  int shown_ = 0;
};

// Given the devices, the next focus move after `keyInside` is set holds just
// that key and ticks again, as a message pumped there would.
class FakeButtonAssignView : public FakeDialogView<ButtonAssignView> {
 public:
  explicit FakeButtonAssignView(ButtonAssign& dialog, FakeInputDevices* devices = nullptr)
      : dialog_(dialog), devices_(devices) {}

  // The dialog opens; the platform then focuses the first tab stop, "ｷｬﾝｾﾙ".
  void Open() {
    dialog_.OnOpen(*this);
    focus_ = IDC_ASSIGN_CANCEL;
  }
  void Click(int id) { FocusControl(id); }  // or tabs into it
  void Tick() { dialog_.OnTimer(*this); }
  int focus() const { return focus_; }
  int keyInside = -1;

  void FocusControl(int id) override {
    const int old = focus_;
    focus_ = id;
    if (FieldPosition(old) != kNoField) dialog_.OnFieldLeft();
    if (FieldPosition(id) != kNoField) dialog_.OnFieldFocused(FieldPosition(id));
    if (keyInside < 0 || devices_ == nullptr) return;
    devices_->ReleaseAll();
    devices_->Hold(static_cast<uint8_t>(std::exchange(keyInside, -1)));
    Tick();
  }

 private:
  ButtonAssign& dialog_;
  FakeInputDevices* devices_;
  int focus_ = 0;
};

// A key test view given `reentered` runs a second tick of it from inside each
// text it is shown.
class FakeKeyTestView : public FakeDialogView<KeyTestView> {
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
