// The tip window's design, its text and skin layout, and its slide in and out.
#include "tip/frmTip.h"

#include <algorithm>

#include "tip/tip_place.h"

namespace orv {

namespace {

struct SkinDesign {
  int left, top, width, height;
  bool stretch;
};
// Design place of each skin piece; the stretched ones follow the window's
// size in Form_Resize.
constexpr std::array<SkinDesign, kSkinPieces> kSkinDesign{{
    {0, 0, 113, 66, false},     // kTopLeft
    {112, 0, 9, 67, true},      // kTop
    {432, 0, 113, 66, false},   // kTopRight
    {0, 66, 15, 97, true},      // kLeft
    {528, 66, 15, 105, true},   // kRight
    {15, 23, 173, 141, true},   // kFill
    {0, 160, 52, 24, false},    // kBottomLeft
    {48, 160, 441, 24, true},   // kBottom
    {484, 160, 61, 24, false},  // kBottomRight
    {24, 96, 478, 2, true},     // kSeparator
}};

constexpr int kIconLeft = 24, kIconTop = 37, kIconSize = 50;
constexpr int kMinHeight = 111;
constexpr std::int32_t kSlideMs = 500;
constexpr int kCornerEllipse = 5;
constexpr int kTransparency = 32;  // opacity 223 of 255

}  // namespace

FrmTip::FrmTip(Ports& ports, KelpUltimate& kelp) : p_(ports), kelp_(kelp) { BuildControls(); }

// The tip is designed in pixels at 96 DPI and grows with the screen's density.
std::int32_t FrmTip::Scaled(std::int32_t pixels) { return ScaleFrom96(pixels, p_.toolkit.Dpi()); }

// Lays the controls out as designed and wires their events to the handlers.
void FrmTip::BuildControls() {
  SetCaption(kTipTitle);
  Move(0, 0, Scaled(kTipDesignWidth), Scaled(kTipDesignHeight));

  picIcon.Move(Scaled(kIconLeft), Scaled(kIconTop), Scaled(kIconSize), Scaled(kIconSize));

  const std::array<Point, 2> label_at{{{80, 35}, {24, 104}}};
  const std::array<double, 2> label_size{15.75, 14.25};
  for (int i = 0; i < 2; ++i) {
    auto& label = lblInfo[static_cast<std::size_t>(i)];
    label.SetIndex(i);
    label.Move(Scaled(label_at[static_cast<std::size_t>(i)].x),
               Scaled(label_at[static_cast<std::size_t>(i)].y), 0, 0);
    label.SetFont(
        Font{L"MicroTech", label_size[static_cast<std::size_t>(i)], false, false, false, 204});
    label.SetForeColor(kTipTextColor);
    label.SetAlignment(Label::Align::Left);
    label.SetAutoSize(true);
    label.onChange = [this](int k) { lblInfo_Change(k); };
    label.onMouseDown = [this](int k) { lblInfo_MouseDown(k); };
  }

  for (int i = 0; i < kSkinPieces; ++i) {
    const auto& d = kSkinDesign[static_cast<std::size_t>(i)];
    auto& piece = imgSkin[static_cast<std::size_t>(i)];
    piece.SetIndex(i);
    // Edges are scaled, not sizes, so that the pieces keep meeting.
    const std::int32_t left = Scaled(d.left), top = Scaled(d.top);
    piece.Move(left, top, Scaled(d.left + d.width) - left, Scaled(d.top + d.height) - top);
    piece.SetStretch(d.stretch);
    piece.SetPicture(p_.toolkit.ResourcePicture(L"TIPSKIN" + std::to_wstring(i)));
    piece.onMouseDown = [this](int k) { imgSkin_MouseDown(k); };
  }

  for (int n = 1; n <= kTipIcons; ++n) {
    imgIcons.Add(p_.toolkit.ScreenPicture(L"TIPICON" + std::to_wstring(n)));
  }

  tmrHide.SetInterval(5000);
  tmrHide.SetEnabled(false);
  tmrHide.onTimer = [this] { tmrHide_Timer(); };
  tmrUpdate.SetInterval(100);
  // Runs only while a tip is on screen: an idle keyboard wakes for nothing.
  tmrUpdate.SetEnabled(false);
  tmrUpdate.onTimer = [this] { tmrUpdate_Timer(); };
}

// Load runs once, on the first touch, whoever touches first.
void FrmTip::EnsureLoaded() {
  if (loaded_ || loading_) return;
  loading_ = true;
  Form_Load();
  loading_ = false;
  loaded_ = true;
}

// Renaming the font is a touch: it loads the window, then the headline resizes.
void FrmTip::SetHeadlineFont(const std::wstring& name) {
  EnsureLoaded();
  lblInfo[0].SetFontName(name);
  AutoSizeLabel(lblInfo[0]);
}

// The system knows best where the window is; the model follows it.
Rect FrmTip::WindowBounds() {
  Rect r;
  if (hWnd() != 0 && p_.user32.GetWindowRect(hWnd(), r)) {
    ReportBounds(r);
    return r;
  }
  return Rect{Left(), Top(), Left() + Width(), Top() + Height()};
}

// Moves at once, without animation, keeping the size.
void FrmTip::MoveWindowTo(std::int32_t left, std::int32_t top) {
  const Rect r = WindowBounds();
  p_.user32.MoveWindow(hWnd(), left, top, r.width(), r.height(), true);
  ReportBounds(Rect{left, top, left + r.width(), top + r.height()});
}

// Only a real change of size raises Resize.
void FrmTip::ResizeWindow(std::int32_t width, std::int32_t height) {
  const Rect r = WindowBounds();
  if (r.width() == width && r.height() == height) return;
  p_.user32.MoveWindow(hWnd(), r.left, r.top, width, height, true);
  ReportBounds(Rect{r.left, r.top, r.left + width, r.top + height});
  Form_Resize();
}

// The shell watches the request count and redraws the window and its icon.
void FrmTip::Refresh() {
  p_.user32.UpdateWindow(hWnd());
  ++repaint_requests_;
}

// The captions size themselves, as the toolkit's self-sizing labels do.
void FrmTip::AutoSizeLabel(Label& label) {
  const Point size = p_.toolkit.MeasureText(label.Font(), label.Caption());
  label.Move(label.Left(), label.Top(), size.x, size.y);
}

// Load: the tip lives parked just beyond the right edge of the screen,
// visible, so that showing a tip is only a slide.
void FrmTip::Form_Load() {
  kelp_.MeasureScreen();
  const Rect r = WindowBounds();
  MoveWindowTo(kelp_.ScreenRight() + 10, kelp_.ScreenBottom() - r.height() - 10);
  SetVisible(true);
  // A window shown for the first time lays itself out.
  Form_Resize();
  kelp_.WindowCommand(hWnd(), WindowCommandId::Transparency, kTransparency);
  kelp_.WindowCommand(hWnd(), WindowCommandId::ClickThrough);
  kelp_.SetTopmost(*this, false);
}

// The frame pieces follow the window's size; the rest keep their design place.
void FrmTip::Form_Resize() {
  const Rect r = WindowBounds();
  const std::int32_t sw = r.width(), sh = r.height();
  using namespace skin;
  auto& s = imgSkin;
  s[kTopRight].SetLeft(sw - s[kTopRight].Width());
  s[kRight].SetLeft(sw - s[kRight].Width());
  s[kBottomRight].SetLeft(sw - s[kBottomRight].Width());
  s[kTop].SetWidth(sw - s[kTopRight].Width());
  s[kFill].SetWidth(sw - s[kRight].Width());
  s[kBottom].SetWidth(sw - s[kBottomRight].Width());
  s[kBottomLeft].SetTop(sh - s[kBottomLeft].Height());
  s[kBottom].SetTop(sh - s[kBottom].Height());
  s[kBottomRight].SetTop(sh - s[kBottomRight].Height());
  s[kLeft].SetHeight(sh - s[kTopLeft].Height() - s[kBottomLeft].Height());
  s[kRight].SetHeight(sh - s[kTopRight].Height() - s[kBottomRight].Height());
  s[kFill].SetHeight(sh - s[kTop].Top() - s[kBottom].Height());
  s[kSeparator].SetWidth(sw - 2 * s[kSeparator].Left());
  picIcon.Move(Scaled(kIconLeft), Scaled(kIconTop), picIcon.Width(), picIcon.Height());
  kelp_.WindowCommand(hWnd(), WindowCommandId::RoundCorners, Scaled(kCornerEllipse));
}

// Either caption changing lays the whole tip out again.
void FrmTip::lblInfo_Change(int index) {
  AutoSizeLabel(lblInfo[static_cast<std::size_t>(index)]);
  LayOutText();
}

// The window takes the size of its text: the icon's row sets the height,
// the headline the width.
void FrmTip::LayOutText() {
  const Label& head = lblInfo[0];
  const Label& detail = lblInfo[1];
  std::int32_t h;
  if (detail.Caption().empty()) {
    imgSkin[skin::kSeparator].SetVisible(false);
    h = picIcon.Top() + picIcon.Height() + Scaled(40);
  } else {
    imgSkin[skin::kSeparator].SetVisible(true);
    h = detail.Top() + detail.Height() + Scaled(30);
  }
  std::int32_t w = head.Left() + head.Width() + detail.Left() + Scaled(8);
  const std::int32_t w2 = 2 * detail.Left() + detail.Width();
  if (w2 > w) w = w2;
  if (h < Scaled(kMinHeight)) h = Scaled(kMinHeight);

  ResizeWindow(w, WindowBounds().height());
  ResizeWindow(w, h);

  Refresh();
  p_.toolkit.DoEvents();

  // A full five seconds from the newest text.
  tmrHide.SetEnabled(false);
  tmrHide.SetEnabled(true);
  ShowTip();
}

// The keyboard is asked where it really is: the user drags it about.
Rect FrmTip::WorkArea() {
  Rect k;
  if (keyboard_ != nullptr && keyboard_->hWnd() != 0 &&
      p_.user32.GetWindowRect(keyboard_->hWnd(), k))
    return kelp_.GetWorkArea(k);
  return kelp_.GetWorkArea();
}

// The keyboard counts also while hidden: the start tip comes just before it
// is first shown, and the options' tips while it is hidden for a question.
Point FrmTip::RestingPlace(const Rect& wa, Point size) {
  std::optional<Rect> keys;
  Rect k;
  if (keyboard_ != nullptr && keyboard_->hWnd() != 0 &&
      p_.user32.GetWindowRect(keyboard_->hWnd(), k))
    keys = k;
  // The strip's own model knows its place before its window has been moved.
  if (keys && strip_ != nullptr && strip_->Visible()) {
    const Rect s{strip_->Left(), strip_->Top(), strip_->Left() + strip_->Width(),
                 strip_->Top() + strip_->Height()};
    keys = Rect{std::min(k.left, s.left), std::min(k.top, s.top), std::max(k.right, s.right),
                std::max(k.bottom, s.bottom)};
  }
  return TipRestingPlace(wa, size, keys);
}

// A parked tip drops to its row while still off screen, then glides in
// leftwards; a tip already on screen glides straight to its resting place.
void FrmTip::ShowTip() {
  SetVisible(true);
  const Rect wa = WorkArea();
  Rect r = WindowBounds();
  const Point rest = RestingPlace(wa, Point{r.width(), r.height()});
  if (r.left > kelp_.ScreenRight()) MoveWindowTo(r.left, rest.y);
  kelp_.SetTopmost(*this, false);
  if (!tmrUpdate.Enabled()) tmrUpdate.SetEnabled(true);
  kelp_.SlideWindow(hWnd(), rest.x, rest.y, kSlideMs, true, false, false, true);
  WindowBounds();
  Refresh();
  p_.toolkit.DoEvents();
  // A running countdown goes on; a stopped one starts afresh.
  if (!tmrHide.Enabled()) tmrHide.SetEnabled(true);
}

// The tip leaves along the row it rested on, so that a tip above the
// keyboard does not cross the keys on its way out, and rests just beyond
// the work area's right edge, still visible.
void FrmTip::HideTip() {
  const Rect wa = WorkArea();
  const Rect r = WindowBounds();
  const std::int32_t y = RestingPlace(wa, Point{r.width(), r.height()}).y;
  MoveWindowTo(r.left, y);
  kelp_.SlideWindow(hWnd(), wa.right + 10, y, kSlideMs, true, false, false, true);
  WindowBounds();
}

// The countdown runs once per tip.
void FrmTip::tmrHide_Timer() {
  HideTip();
  tmrHide.SetEnabled(false);
}

// Only a tip on screen is worth repainting; a parked one stops the timer
// until the next tip.
void FrmTip::tmrUpdate_Timer() {
  if (WindowBounds().left < kelp_.ScreenRight())
    Refresh();
  else
    tmrUpdate.SetEnabled(false);
}

// Presses on the text or the skin move the tip (where it is not click-through).
void FrmTip::lblInfo_MouseDown(int index) { DragWindow(p_.user32, hWnd()); }

// Any skin piece drags the whole tip.
void FrmTip::imgSkin_MouseDown(int index) { DragWindow(p_.user32, hWnd()); }

}  // namespace orv
