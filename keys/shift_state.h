// Shift and the language key: which of the four layouts the keys show.
#pragma once
#include <cstdint>

namespace orv {

class ShiftState {
 public:
  // LangBase is 0 for the first language and 2 for the second; ShiftOn 0 or
  // 1 on top of it.
  std::int16_t LangBase() const { return lang_base_; }
  std::int16_t ShiftOn() const { return shift_on_; }
  std::int16_t ShiftAsCaps() const { return shift_as_caps_; }
  // A Shift held down while other keys are pressed shifts them without
  // touching the latch.
  int LayoutIndex() const { return lang_base_ + (held_ ? 1 : shift_on_); }
  void Hold(bool held) { held_ = held; }

  void SetShiftAsCaps(std::int16_t value) { shift_as_caps_ = value; }
  // Each returns whether the key is now on.
  bool ToggleShift() {
    shift_on_ = shift_on_ == 1 ? 0 : 1;
    return shift_on_ == 1;
  }
  bool ToggleLang() {
    lang_base_ = lang_base_ != 0 ? 0 : 2;
    return lang_base_ != 0;
  }
  // A latched Shift is for one character unless it works as Caps Lock; true
  // when this character released it.
  bool ReleaseAfterCharacter() {
    if (held_ || shift_on_ != 1 || shift_as_caps_ != 0) return false;
    shift_on_ = 0;
    return true;
  }

 private:
  std::int16_t lang_base_ = 0;
  std::int16_t shift_on_ = 0;
  std::int16_t shift_as_caps_ = 0;
  bool held_ = false;
};

}  // namespace orv
