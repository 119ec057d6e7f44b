// Dialog 102 on screen, in fixed storage so that a tick touches no heap: the
// texts of its controls, the focus, the timer and the result. Moving the focus
// reports EN_KILLFOCUS and EN_SETFOCUS back to the dialog, as the platform does.
#pragma once

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "dialogs/button_assign.h"
#include "res/resource_ids.h"

namespace cfg::testing {

// The text of each control of a dialog, and the count of texts set (an id
// that names no control shows nothing, but still counts).
template <size_t N>
class ControlTexts {
 public:
  explicit constexpr ControlTexts(const std::array<int, N>& ids) : ids_(ids) {}

  void Set(int id, std::string_view text) {
    ++shown_;
    const size_t at = Index(id);
    if (at == N) return;
    lengths_[at] = std::min(text.size(), texts_[at].size());
    std::copy_n(text.begin(), lengths_[at], texts_[at].begin());
  }
  std::string Get(int id) const {
    const size_t at = Index(id);
    return at == N ? "" : std::string(texts_[at].data(), lengths_[at]);
  }
  int shown() const { return shown_; }

 private:
  size_t Index(int id) const { return std::find(ids_.begin(), ids_.end(), id) - ids_.begin(); }
  std::array<int, N> ids_;
  std::array<std::array<char, 64>, N> texts_{};
  std::array<size_t, N> lengths_{};
  int shown_ = 0;
};

class FakeButtonAssignView : public ButtonAssignView {
 public:
  explicit FakeButtonAssignView(ButtonAssign& dialog) : dialog_(dialog) {}

  // The dialog opens; the platform then focuses the first tab stop, "ｷｬﾝｾﾙ".
  void Open() {
    dialog_.OnOpen(*this);
    focus_ = IDC_ASSIGN_CANCEL;
  }
  void Click(int id) { FocusControl(id); }  // or tabs into it
  void Tick() { dialog_.OnTimer(*this); }
  void CloseBox() { dialog_.OnClose(*this); }

  std::string text(int id) const { return texts_.Get(id); }
  int shown() const { return texts_.shown(); }  // texts set so far
  int focus() const { return focus_; }
  bool timerRunning = false;
  std::optional<int> result;

  void SetControlText(int id, std::string_view text) override { texts_.Set(id, text); }
  void FocusControl(int id) override {
    const int old = focus_;
    focus_ = id;
    if (FieldPosition(old) != -1) dialog_.OnCommand(*this, old, kEnKillFocus);
    if (FieldPosition(id) != -1) dialog_.OnCommand(*this, id, kEnSetFocus);
  }
  void StartTimer() override { timerRunning = true; }
  void StopTimer() override { timerRunning = false; }
  void Finish(int result) override { this->result = result; }

 private:
  ButtonAssign& dialog_;
  ControlTexts<11> texts_{{IDC_ASSIGN_OK, IDC_ASSIGN_CANCEL, IDC_ASSIGN_CONFIRM, IDC_FIELD_UP,
                           IDC_FIELD_DOWN, IDC_FIELD_LEFT, IDC_FIELD_RIGHT, IDC_FIELD_B1,
                           IDC_FIELD_B2, IDC_FIELD_B3, IDC_FIELD_B4}};
  int focus_ = 0;
};

}  // namespace cfg::testing
