// What the end-to-end tests and the target application agree on: the
// windows' titles, their fields' control ids and the messages that flip the
// target's switches.
#pragma once

#include <windows.h>

namespace orv::e2e {

inline constexpr const wchar_t* kTargetTitle = L"OrvKey Test Target";
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
  kRich20,     // class RichEdit20W of riched20
  kRich50,     // class RICHEDIT50W of msftedit
  kWinForms,   // kWinFormsEditClass, a superclass of Edit
  kCharField,  // takes only WM_CHAR and shows a caret
};

// Posted to the target's top-level window. wParam = milliseconds to stop answering.
inline constexpr UINT kMsgHang = WM_APP + 1;
// Posted to the target's top-level window. wParam = id of the field to destroy.
inline constexpr UINT kMsgDestroyField = WM_APP + 2;
// Posted to the target's top-level window. wParam = id of a field, lParam =
// 1 to make it busy (its length answered at once, its text only after
// kSlowTextMs), 0 to make it answer promptly again. Sent with lParam 2, it
// answers how many texts the field has given late.
inline constexpr UINT kMsgSlowText = WM_APP + 3;
inline constexpr DWORD kSlowTextMs = 900;
// Sent to the target's top-level window: the application itself changes one
// character of a field, keeping its length. wParam = MAKEWPARAM(field id,
// FieldChange), lParam = the character's position.
inline constexpr UINT kMsgChangeField = WM_APP + 4;
enum class FieldChange : WORD {
  kWholeText,             // sets the whole text, as SetWindowText does
  kWholeTextKeepCaret,    // the same, then puts the selection back
  kInPlaceKeepCaret,      // replaces the one character, selection put back
  kInPlaceQuietly,        // the same, and clears the modified flag
};

}  // namespace orv::e2e
