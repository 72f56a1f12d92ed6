// The slide animation, the desktop's size and the work area beside the taskbar.
#include <algorithm>
#include <cmath>

#include "utility/slide.h"

namespace orv {

namespace {
// About one frame of a 60 Hz screen.
constexpr std::int64_t kFrameMs = 16;
// The round-to-nearest-even the positions of a slide are drawn at.
std::int32_t Nearest(double v) { return static_cast<std::int32_t>(std::nearbyint(v)); }
}  // namespace

// Position is a linear function of the elapsed time, so a slide that is
// interrupted by nested events (a tip shown or hidden while this one moves)
// picks up on its own timeline and its final move decides where it ends.
// Each step waits for the next frame rather than moving again at once: the
// screen shows no more than that, and a slide that spins costs the car's
// other programs a whole core. Events that come meanwhile run at once, so
// nested handlers still run inside a slide.
bool ScreenRoutines::SlideWindow(Hwnd wnd, std::int32_t x, std::int32_t y, std::int32_t duration_ms,
                                 bool animate, bool stop_on_cursor, bool rewind, bool pump_events) {
  auto& u = p_.user32;
  Rect r;
  if (!u.GetWindowRect(wnd, r)) r = Rect{};
  const Point start{r.left, r.top};
  const std::int32_t w = r.width(), h = r.height();
  if (animate) {
    const std::uint32_t t0 = p_.kernel32.GetTickCount();
    std::uint32_t e = p_.kernel32.GetTickCount() - t0;
    // A program that ends meanwhile puts the window where the slide ends.
    while (static_cast<std::int64_t>(e) < duration_ms && !p_.toolkit.Ended()) {
      const double px = start.x - static_cast<double>(start.x - x) / duration_ms * e;
      const double py = start.y - static_cast<double>(start.y - y) / duration_ms * e;
      // A window already where this step puts it (a slide on the spot) is
      // not drawn again.
      const Point at{Nearest(px), Nearest(py)};
      Rect now;
      if (!u.GetWindowRect(wnd, now) || now.left != at.x || now.top != at.y) {
        u.MoveWindow(wnd, at.x, at.y, w, h, true);
        u.UpdateWindow(wnd);
      }
      if (pump_events) p_.toolkit.DoEvents();
      if (stop_on_cursor && windows_.IsCursorOverWindow(wnd, 0)) {
        if (rewind) {
          SlideWindow(wnd, start.x, start.y, static_cast<std::int32_t>(e), true, false, false,
                      false);
        }
        u.MoveWindow(wnd, start.x, start.y, w, h, true);
        return false;
      }
      // The next frame on this slide's own clock, or its end.
      const std::int64_t frame =
          std::min<std::int64_t>((static_cast<std::int64_t>(e) / kFrameMs + 1) * kFrameMs,
                                 duration_ms);
      for (e = p_.kernel32.GetTickCount() - t0;
           static_cast<std::int64_t>(e) < frame && !p_.toolkit.Ended();
           e = p_.kernel32.GetTickCount() - t0) {
        const auto left = static_cast<std::uint32_t>(frame - static_cast<std::int64_t>(e));
        if (pump_events)
          p_.toolkit.WaitForEvents(left);
        else
          p_.kernel32.Sleep(left);
      }
    }
  }
  u.MoveWindow(wnd, x, y, w, h, true);
  return true;
}

// Measured once, when the tip window loads.
void ScreenRoutines::MeasureScreen() {
  const Rect r = GetDesktopRect();
  screen_right_ = r.right;
  screen_bottom_ = r.bottom;
}

// The shell's desktop window, or where a front-end replaced the shell (and
// under Wine) the desktop window itself: without it every tip would come
// to rest left of a zero-sized screen.
Rect ScreenRoutines::GetDesktopRect() {
  auto& u = p_.user32;
  Rect r;
  const Hwnd progman = u.FindWindowExW(0, 0, L"Progman", nullptr);
  if (progman != 0) return u.GetWindowRect(progman, r) ? r : Rect{};
  return u.GetWindowRect(u.GetDesktopWindow(), r) ? r : Rect{};
}

// The taskbar lies on the side where the work area stops short of the screen.
TaskbarEdge ScreenRoutines::GetTaskbarEdge() {
  Rect wa;
  if (!p_.user32.SystemParametersInfoWorkArea(wa)) wa = Rect{};
  if (wa.left != 0) return TaskbarEdge::Left;
  if (wa.top != 0) return TaskbarEdge::Top;
  if (wa.bottom - wa.top == screen_bottom_) return TaskbarEdge::Right;
  return TaskbarEdge::Bottom;
}

// The strip between the work area and the screen edge that holds the taskbar.
Rect ScreenRoutines::GetTaskbarRect() {
  Rect wa;
  if (!p_.user32.SystemParametersInfoWorkArea(wa)) wa = Rect{};
  Rect tb{0, 0, screen_right_, screen_bottom_};
  switch (GetTaskbarEdge()) {
    case TaskbarEdge::Left: tb.right = wa.left; break;
    case TaskbarEdge::Right: tb.left = wa.right; break;
    case TaskbarEdge::Top: tb.bottom = wa.top; break;
    case TaskbarEdge::Bottom: tb.top = wa.bottom; break;
  }
  return tb;
}

// The side facing the taskbar comes from the system, the other three from
// the desktop measured at load.
Rect ScreenRoutines::GetWorkArea() {
  const Rect tb = GetTaskbarRect();
  switch (GetTaskbarEdge()) {
    case TaskbarEdge::Bottom: return Rect{0, 0, screen_right_, tb.top};
    case TaskbarEdge::Top: return Rect{0, tb.bottom, screen_right_, screen_bottom_};
    case TaskbarEdge::Left: return Rect{tb.right, 0, screen_right_, screen_bottom_};
    case TaskbarEdge::Right: return Rect{0, 0, tb.left, screen_bottom_};
  }
  return Rect{};
}

// A keyboard on a second screen wants its tips there, beside its own taskbar.
Rect ScreenRoutines::GetWorkArea(const Rect& window) {
  Rect wa;
  return p_.user32.MonitorWorkAreaFromRect(window, wa) ? wa : GetWorkArea();
}

}  // namespace orv
