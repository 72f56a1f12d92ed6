// The slide animation, the desktop's size and the work area beside the taskbar.
#pragma once
#include <cstdint>

#include "platform/ports.h"
#include "field/window_routines.h"

namespace orv {

// The side of the screen the taskbar stands on.
enum class TaskbarEdge { Left = 0, Right = 1, Top = 2, Bottom = 3 };

class ScreenRoutines {
 public:
  explicit ScreenRoutines(Ports& ports) : p_(ports), windows_(ports) {}

  // Moves a window in a straight line at constant speed; false when the
  // cursor stopped it.
  bool SlideWindow(Hwnd wnd, std::int32_t x, std::int32_t y, std::int32_t duration_ms, bool animate,
                   bool stop_on_cursor, bool rewind, bool pump_events);
  // Takes the desktop's size once, for the work area to come.
  void MeasureScreen();
  // The desktop's right and bottom edges when last measured.
  std::int32_t ScreenRight() const { return screen_right_; }
  std::int32_t ScreenBottom() const { return screen_bottom_; }
  Rect GetDesktopRect();
  // Right also when there is no taskbar.
  TaskbarEdge GetTaskbarEdge();
  Rect GetTaskbarRect();
  Rect GetWorkArea();
  // The work area of the monitor `window` stands on (the nearest one when
  // it is off every screen); the primary one's when the system cannot say.
  Rect GetWorkArea(const Rect& window);

 private:
  Ports& p_;
  WindowRoutines windows_;
  std::int32_t screen_right_ = 0;
  std::int32_t screen_bottom_ = 0;
};

}  // namespace orv
