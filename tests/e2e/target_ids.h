// What the end-to-end tests and the target application agree on: the target's
// title, its fields' control ids and the messages that flip its switches.
#pragma once

#include <windows.h>

namespace orv::e2e {

inline constexpr const wchar_t* kTargetTitle = L"OrvKey Test Target";
inline constexpr const wchar_t* kThunderClass = L"ThunderRT6TextBox";

enum TargetControl : int {
  kEdit1 = 101,
  kEdit2 = 102,
  kEdit3 = 103,
  kThunder = 104,    // class ThunderRT6TextBox
  kMultiLine = 105,  // ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN
  kPassword = 106,   // ES_PASSWORD
  kButton = 107,
  kDefault = 108,     // the default "OK" button that Enter presses
  kEnterCount = 109,  // static text "enter=N"
};

// Posted to the target's top-level window. wParam = milliseconds to stop answering.
inline constexpr UINT kMsgHang = WM_APP + 1;
// Posted to the target's top-level window. wParam = id of the field to destroy.
inline constexpr UINT kMsgDestroyField = WM_APP + 2;

}  // namespace orv::e2e
