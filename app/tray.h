// Tray mode (HideToTray): the keyboard lives as an icon in the notification
// area, shows itself for a touched field and hides after use. Where there
// is no notification area (a car front-end that is the shell), or the
// icon could not be added, it never hides: nothing would bring it back
// but a field, and there may be none to touch.
#pragma once
#include <cstdint>

#include "app/window_routines.h"
#include "platform/ports.h"

namespace orv {

class TrayMode {
 public:
  explicit TrayMode(Shell32& shell32) : shell32_(shell32) {}

  // As the settings file gave it; only 1 is tray mode.
  std::int16_t HideToTray() const { return hide_to_tray_; }
  void SetHideToTray(std::int16_t value) { hide_to_tray_ = value; }
  bool On() const { return hide_to_tray_ == 1; }

  // Whether tray mode may hide the keyboard: its icon is in place.
  bool Hides() const { return On() && icon_shown_; }

  // The icon's mouse messages arrive as mouse moves on `wnd`. Added again
  // when the notification area comes back, it is first taken out, for a
  // taskbar that only restarted may still hold it.
  bool AddIcon(Hwnd wnd, Hicon icon) {
    if (icon_shown_) RemoveTrayIcon(shell32_, wnd);
    return icon_shown_ = AddTrayIcon(shell32_, wnd, icon, wm::kMouseMove, L"OrvKey");
  }
  void RemoveIcon(Hwnd wnd) {
    RemoveTrayIcon(shell32_, wnd);
    icon_shown_ = false;
  }

 private:
  Shell32& shell32_;
  std::int16_t hide_to_tray_ = 0;
  bool icon_shown_ = false;
};

}  // namespace orv
