// A window's presses as they come in, for any window of ours that shows
// keys: the mouse's buttons and moves, with the capture taken for a press
// and given back after it; the lift looked for once the capture went
// elsewhere; a finger's or a pen's pointer messages. The window keeps its
// press model and what a press does; this turns its messages into press
// events for it.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>

#include "keys/press_model.h"

namespace orv::win32 {

class PressInput {
 public:
  // `press` hands an event to the model that `presses` is (true when the
  // model took it); `ended` says the model has ended, and its window is
  // going.
  PressInput(const PressModel& presses, std::function<bool(const PressEvent&)> press,
             std::function<bool()> ended);
  PressInput(const PressInput&) = delete;
  PressInput& operator=(const PressInput&) = delete;

  // The answer to one of `wnd`'s messages that is a press's; nothing for
  // any other, and for one that goes on to the default window procedure.
  std::optional<LRESULT> OnMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

 private:
  void MousePress(HWND wnd, PressEvent::Kind kind, LPARAM lp, PressButton button);
  void FollowMousePress(HWND wnd, bool pressed_now);
  void CheckLift(HWND wnd);
  void GiveBackCapture(HWND wnd);

  const PressModel& presses_;
  std::function<bool(const PressEvent&)> press_;
  std::function<bool()> ended_;
  // Looks for the lift once the capture is gone; named by this object's
  // address, it is none of the window's own timers.
  const UINT_PTR lift_timer_ = reinterpret_cast<UINT_PTR>(this);
  bool releasing_ = false;  // giving the capture back ourselves
};

}  // namespace orv::win32
