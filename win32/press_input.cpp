// A window's presses: the mouse's capture and lift, and the pointers.
#include "win32/press_input.h"

#include <utility>

#include "win32/touch_input.h"
#include "win32/window_base.h"

namespace orv::win32 {

namespace {

constexpr UINT kLiftCheckMs = 15;

}  // namespace

PressInput::PressInput(const PressModel& presses, std::function<bool(const PressEvent&)> press,
                       std::function<bool()> ended)
    : presses_(presses), press_(std::move(press)), ended_(std::move(ended)) {}

std::optional<LRESULT> PressInput::OnMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (const auto press = MouseButtonOf(msg)) {
    MousePress(wnd, press->first, lp, press->second);
    return 0;
  }
  switch (msg) {
    case WM_TIMER:
      if (wp != lift_timer_) return std::nullopt;
      CheckLift(wnd);
      return 0;
    case WM_MOUSEMOVE:
      if (presses_.Holds(kMousePointer))
        MousePress(wnd, PressEvent::Kind::kMove, lp, PressButton::kLeft);
      return 0;
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED:
      // Wine takes the capture away while a finger stays on a key (the
      // activation moving after a touch of a real control, or to another of
      // our windows): its release may then go elsewhere, so the lift is
      // looked for. The touch goes on meanwhile; the held key's beat stops
      // by itself once the button is up.
      if (presses_.Holds(kMousePointer) && !releasing_ &&
          (msg == WM_CANCELMODE || reinterpret_cast<HWND>(lp) != wnd)) {
        MousePress(wnd, PressEvent::Kind::kLost, 0, PressButton::kLeft);
      }
      if (msg == WM_CANCELMODE) return std::nullopt;
      return 0;
    case kWmPointerDown:
    case kWmPointerUpdate:
    case kWmPointerUp:
    case kWmPointerCaptureChanged:
      // A finger or a pen on a key is handled here and never becomes the
      // mouse's: the cursor stays, and so does the focus of the application
      // typed into. On the background the system makes it the mouse's.
      if (const auto e = PointerPressEvent(wnd, msg, wp, lp); e && press_(*e)) return 0;
      return std::nullopt;
    default: return std::nullopt;
  }
}

void PressInput::MousePress(HWND wnd, PressEvent::Kind kind, LPARAM lp, PressButton button) {
  const PressEvent e = MousePressEvent(kind, lp, button);
  // The capture goes back before the key acts: Enter clicks into the
  // target, and a click held by the capture would land on the keys.
  if (kind == PressEvent::Kind::kUp && button == PressButton::kLeft) GiveBackCapture(wnd);
  press_(e);
  FollowMousePress(wnd, kind == PressEvent::Kind::kDown);
}

// Takes the capture for a mouse press, gives it back after, and looks for
// the lift of a press that lost it.
void PressInput::FollowMousePress(HWND wnd, bool pressed_now) {
  if (ended_()) return;
  const bool pressed = presses_.Holds(kMousePointer);
  if (pressed && pressed_now) SetCapture(wnd);
  if (!pressed) GiveBackCapture(wnd);
  if (presses_.AwaitsLift())
    SetTimer(wnd, lift_timer_, kLiftCheckMs, nullptr);
  else
    KillTimer(wnd, lift_timer_);
}

void PressInput::CheckLift(HWND wnd) {
  if (!presses_.AwaitsLift()) return FollowMousePress(wnd, false);
  if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) return;
  POINT pt;
  GetCursorPos(&pt);
  ScreenToClient(wnd, &pt);
  MousePress(wnd, PressEvent::Kind::kUp, MAKELPARAM(pt.x, pt.y), PressButton::kLeft);
}

// The capture is ours to give back only while we have it: another of our
// windows may have taken it.
void PressInput::GiveBackCapture(HWND wnd) {
  if (GetCapture() != wnd) return;
  const FlagScope releasing(releasing_);
  ReleaseCapture();
}

}  // namespace orv::win32
