// Tray mode (HideToTray): the keyboard lives as an icon in the notification
// area, shows itself for a touched field and hides after use.
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

  // The icon's mouse messages arrive as mouse moves on `wnd`.
  void AddIcon(Hwnd wnd, Hicon icon) {
    AddTrayIcon(shell32_, wnd, icon, wm::kMouseMove, L"OrvKey");
  }
  void RemoveIcon(Hwnd wnd) { RemoveTrayIcon(shell32_, wnd); }

 private:
  Shell32& shell32_;
  std::int16_t hide_to_tray_ = 0;
};

}  // namespace orv
