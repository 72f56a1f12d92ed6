// What the end-to-end tests and the target application agree on: the
// windows' titles, their fields' control ids and the messages that flip the
// target's switches.
#pragma once

#include <windows.h>

namespace orv::e2e {

inline constexpr const wchar_t* kTargetTitle = L"OrvKey Test Target";
inline constexpr const wchar_t* kReachTitle = L"OrvKey Reach Target";
inline constexpr const wchar_t* kWinFormsEditClass = L"WindowsForms10.EDIT.app.0.141b42a_r9_ad1";

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

// The fields of the --reach window.
enum ReachControl : int { kRich20 = 201, kRich50, kWinForms, kCharField };

// Posted to the target's top-level window. wParam = milliseconds to stop answering.
inline constexpr UINT kMsgHang = WM_APP + 1;
// Posted to the target's top-level window. wParam = id of the field to destroy.
inline constexpr UINT kMsgDestroyField = WM_APP + 2;

}  // namespace orv::e2e
