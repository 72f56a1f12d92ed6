// The kinds of text field the keyboard types into, by window class. A touch
// captures only these, and Tab walks only these: one table for both.
#pragma once
#include <algorithm>
#include <array>
#include <string_view>

namespace orv {

struct FieldKind {
  std::wstring_view class_name;
};

// Plain edit controls and the text boxes of VB6 and of the VB runtimes
// before it.
inline constexpr std::array kFieldKinds{
    FieldKind{L"Edit"},
    FieldKind{L"ThunderRT6TextBox"},
    FieldKind{L"ThunderTextBox"},
};

// The kind of field a window of this class is; none for any other class.
inline const FieldKind* FieldKindOf(std::wstring_view class_name) {
  const auto it = std::find_if(kFieldKinds.begin(), kFieldKinds.end(),
                               [&](const FieldKind& k) { return k.class_name == class_name; });
  return it == kFieldKinds.end() ? nullptr : &*it;
}

}  // namespace orv
