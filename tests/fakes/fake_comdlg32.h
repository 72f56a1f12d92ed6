// Fake comdlg32: the colour dialog answers in turn (nullopt = cancel),
// keeps what it was shown, and runs a hook while open that may scribble
// into its record.
#pragma once
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/comdlg32.h"

namespace orv::fake {

class FakeComdlg32 : public Comdlg32 {
 public:
  std::deque<std::optional<Color>> color_answers;
  std::vector<ChooseColorRecord> color_dialogs;
  std::function<void(ChooseColorRecord&)> on_choose_color;

  int ChooseColorW(ChooseColorRecord& record) override {
    color_dialogs.push_back(record);
    if (on_choose_color) on_choose_color(record);
    if (color_answers.empty() || !color_answers.front()) {
      if (!color_answers.empty()) color_answers.pop_front();
      return 0;
    }
    record.result = *color_answers.front();
    color_answers.pop_front();
    return 1;
  }
};

}  // namespace orv::fake
