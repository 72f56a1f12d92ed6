// Fingers and pens on the shell's windows. On a touch screen the system
// holds a finger's press back until its lift, to see whether it is a
// press-and-hold (which it turns into a right click), and draws a ring
// under it meanwhile; from Windows 8 on it also reports each finger and pen
// as a pointer of its own. Everything here is found at run time, so the
// program still runs on Windows 7.
#pragma once
#include <windows.h>

#include <optional>
#include <utility>

#include "keys/press_model.h"

namespace orv::win32 {

// Pointer messages, named here: the system's headers declare them only for
// Windows 8 and later.
inline constexpr UINT kWmPointerUpdate = 0x0245;
inline constexpr UINT kWmPointerDown = 0x0246;
inline constexpr UINT kWmPointerUp = 0x0247;
inline constexpr UINT kWmPointerActivate = 0x024B;
inline constexpr UINT kWmPointerCaptureChanged = 0x024C;
inline constexpr LRESULT kPaNoActivate = 3;
inline constexpr UINT kWmTabletQuerySystemGestureStatus = 0x02CC;
// What a window of ours answers the system's gesture question with:
// press-and-hold, the pen's tap and barrel feedback and flicks all off.
inline constexpr DWORD kNoTouchGestures = 0x00000001 | 0x00000008 | 0x00000010 | 0x00010000;

// Turns press-and-hold, the pen's feedback, flicks and the touch visuals
// off over `wnd`, so that a finger's press arrives at once. One call does
// it all for any window of ours: its window procedure answers the system's
// question through GestureAnswer.
void TurnOffTouchGestures(HWND wnd);

// The answer to the system's gesture question for a window whose gestures
// were turned off; nothing for any other window or message. The window's
// last message takes the setting away with it.
std::optional<LRESULT> GestureAnswer(HWND wnd, UINT msg);

// A finger's or a pen's pointer message to `wnd` as a press event in its
// client coordinates; nothing for any other message, and for a pointer
// that is the mouse (that keeps its mouse messages).
std::optional<PressEvent> PointerPressEvent(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

// The kind and button of a mouse button message (down or up of the left,
// right or middle button); nothing for any other message.
std::optional<std::pair<PressEvent::Kind, PressButton>> MouseButtonOf(UINT msg);

// A mouse message's point (client coordinates in `lp`) as a press event of
// the mouse's pointer.
PressEvent MousePressEvent(PressEvent::Kind kind, LPARAM lp, PressButton button);

// Where a pointer is on the screen; nothing when the system cannot say.
std::optional<POINT> PointerOnScreen(UINT32 id);

}  // namespace orv::win32
