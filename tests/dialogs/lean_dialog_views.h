// Views of dialogs 102 and 103 that keep what they are shown in fixed storage,
// so that a tick through them touches no heap: for the allocation test and
// the benchmarks. They keep the last text shown and the focus, nothing more.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

#include "dialogs/button_assign.h"
#include "dialogs/key_test.h"
#include "res/resource_ids.h"

namespace cfg::testing {

// The last text a view was given, cut to its storage.
class LastText {
 public:
  void Set(int id, std::string_view text) {
    id_ = id;
    length_ = std::min(text.size(), text_.size());
    std::copy_n(text.begin(), length_, text_.begin());
    ++count_;
  }
  int id() const { return id_; }
  std::string_view text() const { return {text_.data(), length_}; }
  int count() const { return count_; }  // texts set so far

 private:
  std::array<char, 64> text_{};
  size_t length_ = 0;
  int id_ = 0;
  int count_ = 0;
};

class LeanButtonAssignView : public ButtonAssignView {
 public:
  explicit LeanButtonAssignView(ButtonAssign& dialog) : dialog_(dialog) {}

  // The dialog opens; the platform then focuses the first tab stop, "ｷｬﾝｾﾙ".
  void Open() {
    dialog_.OnOpen(*this);
    focus_ = IDC_ASSIGN_CANCEL;
  }
  void Click(int id) { FocusControl(id); }
  void Tick() { dialog_.OnTimer(*this); }

  const LastText& last() const { return last_; }
  int focus() const { return focus_; }

  void SetControlText(int id, std::string_view text) override { last_.Set(id, text); }
  // Edit controls report the focus moving, as the platform does.
  void FocusControl(int id) override {
    const int old = focus_;
    focus_ = id;
    if (FieldPosition(old) != -1) dialog_.OnCommand(*this, old, kEnKillFocus);
    if (FieldPosition(id) != -1) dialog_.OnCommand(*this, id, kEnSetFocus);
  }
  void StartTimer() override {}
  void StopTimer() override {}
  void Finish(int) override {}

 private:
  ButtonAssign& dialog_;
  LastText last_;
  int focus_ = 0;
};

class LeanKeyTestView : public KeyTestView {
 public:
  const LastText& last() const { return last_; }

  void SetControlText(int id, std::string_view text) override { last_.Set(id, text); }
  void StartTimer() override {}
  void StopTimer() override {}
  void Finish(int) override {}

 private:
  LastText last_;
};

}  // namespace cfg::testing
