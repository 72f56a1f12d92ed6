// The slide animation, the desktop's size and the work area beside the taskbar.
#pragma once
#include <cstdint>

#include "platform/ports.h"
#include "target/window_routines.h"

namespace orv {

class ScreenRoutines {
 public:
  explicit ScreenRoutines(Ports& ports) : p_(ports), windows_(ports) {}

  // Moves a window in a straight line at constant speed; false when the
  // cursor stopped it.
  bool SlideWindow(Hwnd wnd, std::int32_t x, std::int32_t y, std::int32_t duration_ms, bool animate,
                   bool stop_on_cursor, bool rewind, bool pump_events);
  void MeasureScreen();
  Rect GetDesktopRect();
  // 0 left, 1 right (also none), 2 top, 3 bottom.
  int GetTaskbarEdge();
  Rect GetTaskbarRect();
  Rect GetWorkArea();
  // The desktop's right and bottom edges when the tip window was loaded.
  std::int32_t ScreenRight = 0;
  std::int32_t ScreenBottom = 0;

 private:
  Ports& p_;
  WindowRoutines windows_;
};

}  // namespace orv
