// The real tip window: paints the skin pieces and the two captions from the
// tip model, hosts the icon as a child window so its region can cut it to
// the icon's outline, and turns window messages into the model's events.
#pragma once
#include <windows.h>

#include <array>
#include <functional>

#include "win32/toolkit.h"
#include "win32/unique_handle.h"
#include "win32/window_base.h"
#include "tip/frmTip.h"

namespace orv::win32 {

class TipWindow : public WindowBase<TipWindow> {
 public:
  TipWindow(FrmTip& model, Win32Toolkit& toolkit);

  // Makes the window (hidden, at its design size, owned by the keyboard
  // window) and its icon box, and attaches their handles to the models.
  bool Create(HWND keyboard);
  // Brings the real window in line with the model: once per event.
  void Sync();

 private:
  // The icon is a window of its own so that a region can cut it to shape;
  // it only paints, and presses on it do nothing.
  class IconBox : public WindowBase<IconBox> {
   public:
    explicit IconBox(TipWindow& tip) : tip_(tip) {}
    bool Create(HWND parent, const Rect& bounds, HINSTANCE instance);

   private:
    friend class WindowBase<IconBox>;
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    void Paint(HDC dc) { tip_.PaintIcon(hwnd_, dc); }
    TipWindow& tip_;
  };

  friend class WindowBase<TipWindow>;
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
  // Runs one model event and then brings the real window in line.
  void Dispatch(const std::function<void()>& event);
  void Paint(HDC dc);
  void Compose(HDC dc, const RECT& client);
  std::uint64_t ControlsVersion() const;
  void PaintIcon(HWND icon, HDC dc);
  void DrawPiece(HDC dc, HDC scratch, const PictureBox& piece);
  void DrawCaption(HDC dc, const Label& label);
  void OnPress(POINT pt);
  void SyncTimer(Timer& timer, UINT_PTR id, std::uint64_t& seen);

  FrmTip& m_;
  Win32Toolkit& tk_;
  UniqueIcon big_icon_, small_icon_;
  IconBox icon_box_{*this};

  std::uint64_t form_version_ = ~0ull;
  std::uint64_t controls_seen_ = ~0ull;
  std::uint64_t repaints_seen_ = 0;
  Picture icon_picture_ = 0;
  Rect icon_bounds_{-1, -1, -1, -1};
  std::uint64_t hide_version_ = ~0ull, update_version_ = ~0ull;
  bool syncing_ = false;
  // The tip as last composed, and what it was composed from: a tip at rest
  // or gliding is repainted from it, a copy instead of ten stretches.
  UniqueBitmap composed_;
  std::uint64_t composed_from_ = ~0ull;
  int composed_width_ = 0, composed_height_ = 0;
};

}  // namespace orv::win32
