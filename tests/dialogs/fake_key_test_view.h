// A model of dialog 103 on screen: the text of each control and the timer.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "dialogs/key_test.h"
#include "res/resource_ids.h"

namespace cfg::testing {

class FakeKeyTestView : public KeyTestView {
 public:
  // What the template gives control 2301 before the first tick.
  static constexpr char kTemplateStateText[] = "          ";

  std::string text(int id) const {
    const auto found = texts_.find(id);
    return found == texts_.end() ? "" : found->second;
  }
  bool timerRunning() const { return timerRunning_; }
  std::optional<int> result() const { return result_; }

  // An id that names no control shows nothing.
  void SetControlText(int id, std::string_view text) override {
    const auto found = texts_.find(id);
    if (found != texts_.end()) found->second = text;
  }
  void StartTimer() override { timerRunning_ = true; }
  void StopTimer() override { timerRunning_ = false; }
  void Finish(int result) override { result_ = result; }

 private:
  std::map<int, std::string> texts_ = {{IDC_KEY_TEST_HIDDEN, ""},
                                       {IDC_KEY_STATE, kTemplateStateText}};
  bool timerRunning_ = false;
  std::optional<int> result_;
};

}  // namespace cfg::testing
