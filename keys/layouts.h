// The keys' layouts and where every key stands on the keyboard, in twips
// (15 to a pixel at 96 DPI). Shared by the window, its shell and the tests.
#pragma once
#include <array>
#include <span>
#include <string>

#include "controls/controls.h"
#include "platform/types.h"

namespace orv {

inline constexpr int kCharKeys = 47;
inline constexpr int kFunctionKeys = 9;
inline constexpr int kLayouts = 4;

// Function keys by index.
enum FunctionKey : int {
  kKeyClr = 0,
  kKeyTab = 1,
  kKeyShift = 2,
  kKeyLang = 3,
  kKeySpace = 4,
  kKeyBack = 5,
  kKeyEnter = 6,
  kKeyClose = 7,
  kKeyOptions = 8,
};

// The layouts shown when there is no settings file, 47 characters each.
extern const std::array<std::wstring, kLayouts> kDefaultLayouts;

// Where a function key sits and what it says, in twips.
struct FunctionKeyDesign {
  const wchar_t* caption;
  int left, top, width, height;
};
extern const std::array<FunctionKeyDesign, kFunctionKeys> kFunctionKeyDesign;

// Where character key `index` (0..46) sits, in twips: four rows, the keys of
// a row 600 twips apart.
Rect CharKeyTwips(int index);

// One character of the layout on each key; keys past the end of a short
// layout are left blank.
void CaptionKeys(std::span<Label> keys, const std::wstring& layout);

}  // namespace orv
