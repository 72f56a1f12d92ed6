// frmTip: the skinned balloon that reports events at the bottom-right corner
// of the work area. It loads parked beyond the right screen edge, glides in
// for each tip, stays five seconds and glides out again.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "controls/controls.h"
#include "platform/ports.h"
#include "utility/KelpUltimate.h"

namespace orv {

// The pieces of the skin, in their designed order (the resources TIPSKIN0..9).
namespace skin {
enum Piece : int {
  kTopLeft,  // the corner with the NOTIFIER tab
  kTop,
  kTopRight,
  kLeft,
  kRight,
  kFill,
  kBottomLeft,
  kBottom,
  kBottomRight,
  kSeparator,  // the line under the headline
};
}  // namespace skin
inline constexpr int kSkinPieces = 10;
inline constexpr int kTipIcons = 5;
// The tip icons (TIPICON1..5) by the number a tip names them with.
enum TipIcon : int {
  kTipIconPencil = 1,    // pencil on paper: editing, and what the user chose
  kTipIconKeyboard = 2,  // the keyboard: its own state and settings
  kTipIconFolder = 3,    // folder with magnifier
  kTipIconChecklist = 4,
  kTipIconCross = 5,  // red cross: something could not be done
};
inline constexpr int kTipDesignWidth = 584;
inline constexpr int kTipDesignHeight = 185;
inline constexpr Color kTipTextColor = 0x000080FF;  // RGB(255, 128, 0)
inline constexpr Color kMagenta = 0x00FF00FF;
inline const std::wstring kTipTitle = L"OrvTask Information Window";

// The five tip icons, 48 x 48 on magenta; tips name them from 1.
class ImageList {
 public:
  void Add(Picture picture) { pictures_[count_++ % kTipIcons] = picture; }
  int Count() const { return count_; }
  // Picture number n (1-based); 0 outside the list.
  Picture ListImage(int n) const {
    return n >= 1 && n <= count_ ? pictures_[static_cast<std::size_t>(n - 1)] : 0;
  }

 private:
  std::array<Picture, kTipIcons> pictures_{};
  int count_ = 0;
};

class FrmTip : public Form {
 public:
  FrmTip(Ports& ports, KelpUltimate& kelp);

  // ---- Controls
  PictureBox picIcon;
  std::array<Label, 2> lblInfo;
  std::array<PictureBox, kSkinPieces> imgSkin;
  Timer tmrHide;
  Timer tmrUpdate;
  ImageList imgIcons;

  // Touching the tip window loads it once: measured, parked, made
  // translucent and click-through.
  void EnsureLoaded();
  bool Loaded() const { return loaded_; }
  // The keyboard's start-up names the headline font.
  void SetHeadlineFont(const std::wstring& name);
  const std::wstring& HeadlineFont() const { return lblInfo[0].Font().name; }

  void ShowTip();
  void HideTip();
  // The keyboard whose screen the tips go to and whose keys they never cover.
  // A strip docked to the keyboard counts as part of it while it shows.
  void StayClearOf(const Form& keyboard, const Form* strip = nullptr) {
    keyboard_ = &keyboard;
    strip_ = strip;
  }

  // ---- Events
  void Form_Load();
  void Form_Resize();
  void lblInfo_Change(int index);
  void lblInfo_MouseDown(int index);
  void imgSkin_MouseDown(int index);
  void tmrHide_Timer();
  void tmrUpdate_Timer();

  // Counts requests to repaint the window and its controls at once; the
  // shell redraws when the count moves.
  std::uint64_t RepaintRequests() const { return repaint_requests_; }
  // Where the window really is: slides move it through the system.
  Rect WindowBounds();

 private:
  void BuildControls();
  std::int32_t Scaled(std::int32_t pixels);
  // Sizes a self-sizing label to its caption in its font.
  void AutoSizeLabel(Label& label);
  void LayOutText();
  // Changes one side of the window's size, keeping its top-left corner.
  void ResizeWindow(std::int32_t width, std::int32_t height);
  void MoveWindowTo(std::int32_t left, std::int32_t top);
  // An immediate update of the client area, then a repaint of everything.
  void Refresh();
  // The work area of the keyboard's monitor, or the primary one's.
  Rect WorkArea();
  // Where the tip rests in `wa`, clear of the keyboard.
  Point RestingPlace(const Rect& wa, Point size);

  Ports& p_;
  KelpUltimate& kelp_;
  const Form* keyboard_ = nullptr;
  const Form* strip_ = nullptr;
  bool loaded_ = false;
  bool loading_ = false;
  std::uint64_t repaint_requests_ = 0;
};

}  // namespace orv
