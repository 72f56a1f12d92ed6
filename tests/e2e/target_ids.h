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
  kRichDoc,    // a multi-line RICHEDIT50W holding kRichDocText, some words bold or underlined
  kGroupBox,   // a group box framing kGrouped, above it in the z-order
  kGrouped,
  kLabel,      // a label reaching over most of kLabelled, above it
  kLabelled,
};

// The formatted document of kRichDoc: two paragraphs, a bold word in the
// first and an underlined one in the second.
inline constexpr const wchar_t* kRichDocText = L"one bold two\r\nthree under four";
inline constexpr int kBoldStart = 4, kBoldEnd = 8;     // "bold"
inline constexpr int kUnderStart = 19, kUnderEnd = 24;  // "under", counting the break as one
// The password field's own mask character.
inline constexpr wchar_t kPasswordMask = L'\x25CF';

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
// Posted to the target's top-level window: shows a magenta window of its own
// over the screen rectangle whose top left is (wParam, lParam), 300 x 150,
// and brings it to the front; wParam 0 and lParam 0 hide it again.
inline constexpr UINT kMsgCover = WM_APP + 5;
inline constexpr COLORREF kCoverColour = RGB(255, 0, 255);
// Sent to the target's top-level window: the effects of kRichDoc's
// characters, one letter each as the rich edit counts them ("....bbbb"),
// become the text of its window kFormatReport.
inline constexpr UINT kMsgDescribeFormat = WM_APP + 6;
inline constexpr int kFormatReport = 199;
// Sent to the target's top-level window: answers 1 once the program has taken
// in the pointer moves the window system still held for it. Under Wine a
// program that was busy gets the moves the synthetic finger made over it
// meanwhile only when it next looks for input, and each one puts the cursor
// back where it was then.
inline constexpr UINT kMsgCatchUp = WM_APP + 7;

}  // namespace orv::e2e
