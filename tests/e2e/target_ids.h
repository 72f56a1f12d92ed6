// What the end-to-end tests and the target application agree on: the target's
// title, its fields' control ids and the messages that flip its switches.
#pragma once

#include <windows.h>

namespace orv::e2e {

inline constexpr const wchar_t* kTargetTitle = L"OrvKey Test Target";

enum TargetControl : int {
  kEdit1 = 101,
  kEdit2,
  kEdit3,
  kThunder,    // class ThunderRT6TextBox
  kMultiLine,  // ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN
  kPassword,   // ES_PASSWORD
  kButton,
  kDefault,      // the default "OK" button that Enter presses
  kEnterCount,   // static text "enter=N"
  kOldThunder1,  // class ThunderTextBox, the older VB text box
  kOldThunder2,
};

// Posted to the target's top-level window. wParam = milliseconds to stop answering.
inline constexpr UINT kMsgHang = WM_APP + 1;
// Posted to the target's top-level window. wParam = id of the field to destroy.
inline constexpr UINT kMsgDestroyField = WM_APP + 2;

}  // namespace orv::e2e
