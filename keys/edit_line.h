// The keyboard's own edit line (cmbText) and its insertion point. Every key
// action is one call: the line changes, the drop-down follows, the caret moves.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "controls/controls.h"

namespace orv {

class EditLine {
 public:
  // `list_follows` refills the drop-down after each edit by a key.
  EditLine(ComboBox& line, std::function<void()> list_follows)
      : line_(line), list_follows_(std::move(list_follows)) {}

  // CaretPos: where the next key goes. It may stand past the end of the
  // line; 32-bit, because a field of a hundred thousand characters is an
  // ordinary target.
  std::int32_t CaretPos() const { return caret_; }

  // Puts text before the caret (at the end when the caret is past it) and
  // moves the caret past it.
  void Insert(const std::wstring& text);
  // Replaces characters [start, end) of the line by text and puts the
  // caret at `caret`.
  void Splice(std::size_t start, std::size_t end, const std::wstring& text, std::int32_t caret);
  // Removes the character before the caret.
  void Backspace();
  void Clear();
  // The whole line replaced, the caret at its end.
  void Replace(const std::wstring& text);
  // The real control's caret shown at the end, and typing goes on there.
  void CaretToEnd();
  // The caret put at `pos` of the line, shown there too.
  void PutCaret(std::int32_t pos);
  // The user put the caret somewhere in the line itself.
  void FollowUserCaret() { caret_ = line_.SelStart(); }

 private:
  ComboBox& line_;
  std::function<void()> list_follows_;
  std::int32_t caret_ = 0;
};

}  // namespace orv
