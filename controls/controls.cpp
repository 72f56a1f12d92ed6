// Control models: the setters that raise events the way the toolkit does.
#include "controls/controls.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace orv {

void Control::Move(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  Set(rect_, Rect{left, top, left + width, top + height});
}

void Control::SetFontName(const std::wstring& name) {
  auto f = font_;
  f.name = name;
  SetFont(f);
}

void Control::SetFontSize(double size) {
  auto f = font_;
  // The font system keeps whole pixels at 96 per inch, so a size reads back
  // as the nearest multiple of 0.75 point (14 becomes 14.25).
  f.size = std::nearbyint(size * 4.0 / 3.0) * 3.0 / 4.0;
  SetFont(f);
}

void Control::SetFontBold(bool on) {
  auto f = font_;
  f.bold = on;
  SetFont(f);
}

void Control::SetFontItalic(bool on) {
  auto f = font_;
  f.italic = on;
  SetFont(f);
}

void Control::SetFontUnderline(bool on) {
  auto f = font_;
  f.underline = on;
  SetFont(f);
}

void Label::SetCaption(const std::wstring& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  Touch();
  if (onChange) onChange(Index());
}

void TextBox::SetText(const std::wstring& text) {
  std::wstring t = text;
  if (max_length_ > 0 && t.size() > static_cast<std::size_t>(max_length_)) {
    t.resize(static_cast<std::size_t>(max_length_));
  }
  if (text_ == t) return;
  text_ = std::move(t);
  Touch();
  if (onChange) onChange(Index());
}

void ComboBox::SetText(const std::wstring& text) {
  if (text_ == text) return;
  text_ = text;
  sel_start_ = std::min<std::int32_t>(sel_start_, static_cast<std::int32_t>(text_.size()));
  Touch();
  if (onChange) onChange();
}

void ComboBox::Clear() {
  if (list_.empty() && !pending_list_ && text_.empty() && list_index_ == -1) return;
  list_.clear();
  pending_list_ = nullptr;
  text_.clear();
  list_index_ = -1;
  sel_start_ = 0;
  ++list_version_;
  Touch();
}

void ComboBox::AddItem(const std::wstring& item) {
  Items();
  list_.push_back(item);
  ++list_version_;
  Touch();
}

void ComboBox::SetListSource(std::function<void(std::vector<std::wstring>&)> fill) {
  list_.clear();
  pending_list_ = std::move(fill);
  list_index_ = -1;
  ++list_version_;
  Touch();
}

const std::vector<std::wstring>& ComboBox::Items() const {
  if (pending_list_) std::exchange(pending_list_, nullptr)(list_);
  return list_;
}

const std::wstring& ComboBox::List(int i) const {
  static const std::wstring kNone;
  const auto& items = Items();
  return i >= 0 && static_cast<std::size_t>(i) < items.size() ? items[static_cast<std::size_t>(i)]
                                                              : kNone;
}

void ComboBox::SetListIndex(int index) {
  if (index < -1 || index >= ListCount()) return;
  list_index_ = index;
  Touch();
  if (index == -1) return;
  text_ = list_[static_cast<std::size_t>(index)];
  sel_start_ = 0;
  if (onClick) onClick();
}

void ComboBox::SetSelStart(std::int32_t pos) {
  pos = std::clamp<std::int32_t>(pos, 0, static_cast<std::int32_t>(text_.size()));
  Set(sel_start_, pos);
}

bool CheckBox::SetValue(int value) {
  if (value < 0 || value > 2) return false;
  if (value_ == value) return true;
  value_ = value;
  Touch();
  if (onClick) onClick(Index());
  return true;
}

void Form::Move(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  Rect r{left, top, left + width, top + height};
  if (r == rect_) return;
  rect_ = r;
  ++version_;
}

void Form::SetVisible(bool v) {
  if (visible_ == v) return;
  visible_ = v;
  ++version_;
}

}  // namespace orv
