// Layout strings and the one operation that puts a layout onto the keys.
#include "keys/layouts.h"

namespace orv {

namespace {
// Top-left of the first key of each row and the first key index of each
// row, in twips; keys stand 600 twips apart.
struct KeyRow {
  int first_index, left, top;
};
constexpr std::array<KeyRow, 4> kKeyRows{
    {{0, 840, 840}, {12, 1080, 1440}, {24, 1320, 2040}, {36, 1080, 2640}}};

}  // namespace

const std::array<std::wstring, kLayouts> kDefaultLayouts{
    L"1234567890-=йцукенгшщзхъфывапролджэ\\ячсмитьбю.,",
    L"!\"№;%:?*()_+ЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭ/ЯЧСМИТЬБЮ.,",
    L"1234567890-=qwertyuiop[]asdfghjkl;'\"zxcvbnm,./?",
    L"!@#$%^&*()_+QWERTYUIOP{}ASDFGHJKL:\"\\ZXCVBNM<>?/",
};

Rect CharKeyTwips(int index) {
  const KeyRow* row = &kKeyRows[0];
  for (const auto& r : kKeyRows) {
    if (index >= r.first_index) row = &r;
  }
  const int left = row->left + 600 * (index - row->first_index);
  return Rect{left, row->top, left + 615, row->top + 375};
}

const std::array<FunctionKeyDesign, kFunctionKeys> kFunctionKeyDesign{{
    {L"Clr", 120, 840, 735, 375},
    {L"Tab", 120, 1440, 975, 375},
    {L"^", 120, 2040, 1215, 375},
    {L"Lang", 120, 2640, 975, 375},
    {L"Space", 7680, 2640, 1695, 375},
    {L"<--", 8040, 840, 1335, 375},
    {L"Enter", 8475, 1440, 855, 1095},
    {L"X", 8760, 240, 615, 375},
    {L"...", 8160, 240, 615, 375},
}};

void CaptionKeys(std::span<Label> keys, const std::wstring& layout) {
  for (std::size_t k = 0; k < keys.size(); ++k) {
    keys[k].SetCaption(k < layout.size() ? std::wstring(1, layout[k]) : std::wstring());
  }
}

}  // namespace orv
