// A model of dialog 102 on screen: the texts of its controls and the focus.
// Moving the focus reports EN_KILLFOCUS and EN_SETFOCUS back to the dialog,
// as the platform does for edit controls.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dialogs/button_assign.h"
#include "res/resource_ids.h"

namespace cfg::testing {

class FakeButtonAssignView : public ButtonAssignView {
 public:
  using Shown = std::vector<std::pair<int, std::string>>;

  explicit FakeButtonAssignView(ButtonAssign& dialog) : dialog_(dialog) {}

  // The dialog opens; the platform then focuses the first tab stop, "ｷｬﾝｾﾙ".
  void Open() {
    dialog_.OnOpen(*this);
    focus_ = IDC_ASSIGN_CANCEL;
  }
  // The player clicks a control (or tabs into it).
  void Click(int id) { FocusControl(id); }
  void Tick() { dialog_.OnTimer(*this); }
  void Press(int id) { dialog_.OnCommand(*this, id, 0); }
  void CloseBox() { dialog_.OnClose(*this); }

  std::string text(int id) const {
    const auto found = texts_.find(id);
    return found == texts_.end() ? "" : found->second;
  }
  int focus() const { return focus_; }
  bool timerRunning() const { return timerRunning_; }
  std::optional<int> result() const { return result_; }
  // Texts that reached a control, in order; TakeShown also forgets them.
  Shown TakeShown() { return std::exchange(shown_, {}); }

  void SetControlText(int id, std::string_view text) override {
    if (kControls.count(id) == 0) return;
    texts_[id] = text;
    shown_.emplace_back(id, text);
  }
  void FocusControl(int id) override {
    const int old = std::exchange(focus_, id);
    if (FieldPosition(old) != -1) dialog_.OnCommand(*this, old, kEnKillFocus);
    if (FieldPosition(id) != -1) dialog_.OnCommand(*this, id, kEnSetFocus);
  }
  void StartTimer() override { timerRunning_ = true; }
  void StopTimer() override { timerRunning_ = false; }
  void Finish(int result) override { result_ = result; }

 private:
  inline static const std::set<int> kControls = {
      IDC_ASSIGN_CANCEL, IDC_ASSIGN_CONFIRM, IDC_FIELD_UP,   IDC_FIELD_DOWN, IDC_FIELD_LEFT,
      IDC_FIELD_RIGHT,   IDC_FIELD_B1,       IDC_FIELD_B2,   IDC_FIELD_B3,   IDC_FIELD_B4,
      IDC_ASSIGN_OK,     IDC_LABEL_UP,       IDC_LABEL_DOWN, IDC_LABEL_LEFT, IDC_LABEL_RIGHT,
      IDC_LABEL_B1,      IDC_LABEL_B2,       IDC_LABEL_B3,   IDC_LABEL_B4};

  ButtonAssign& dialog_;
  std::map<int, std::string> texts_;
  Shown shown_;
  int focus_ = 0;
  bool timerRunning_ = false;
  std::optional<int> result_;
};

}  // namespace cfg::testing
