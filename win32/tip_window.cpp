// The real tip window.
#include "win32/tip_window.h"

#include <windowsx.h>

#include <cstdlib>
#include <iterator>

namespace orv::win32 {

namespace {

constexpr wchar_t kClassName[] = L"OrvKeyTip";
constexpr wchar_t kIconClassName[] = L"OrvKeyTipIcon";
constexpr UINT_PTR kTimerHide = 1;
constexpr UINT_PTR kTimerUpdate = 2;
constexpr int kTipIconResource = 2;

// Back to front, as the pieces overlap: the fill first, the left edge and
// the separator over the captions.
using namespace skin;
constexpr int kSkinOrder[] = {kFill,   kTopLeft,     kTop,      kBottomLeft,
                              kBottom, kBottomRight, kTopRight, kRight};
constexpr int kSkinOverCaptions[] = {kSeparator, kLeft};

RECT ToRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

bool Inside(const Rect& r, POINT p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// A system call that failed, with the system's error number.
void LogCallFailed(const wchar_t* call) {
  LogFailure(std::wstring(call) + L" failed: error " + std::to_wstring(GetLastError()));
}

}  // namespace

TipWindow::TipWindow(FrmTip& model, Win32Toolkit& toolkit) : m_(model), tk_(toolkit) {}

// The window starts hidden at its design size; the tip's Load places and shows it.
bool TipWindow::Create(HWND keyboard) {
  HINSTANCE inst = tk_.Instance();
  big_icon_.reset(
      static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(kTipIconResource), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
  small_icon_.reset(static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(kTipIconResource),
                                                  IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                  GetSystemMetrics(SM_CYSMICON), 0)));

  if (!RegisterWindowClass(inst, kClassName, big_icon_.get(), small_icon_.get()))
    LogCallFailed(L"RegisterClassExW (tip)");

  // A tool window: topmost, no taskbar button, never the active window.
  // Owned by the keyboard, it goes back in front with it whenever another
  // window comes over the keyboard.
  if (!CreateOwned(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName,
                   m_.Caption().c_str(), WS_POPUP | WS_CLIPCHILDREN, m_.Left(), m_.Top(),
                   m_.Width(), m_.Height(), keyboard, inst)) {
    LogCallFailed(L"CreateWindowExW (tip)");
    return false;
  }
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon_.get()));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_.get()));
  m_.AttachWindow(FromHwnd(hwnd_));
  m_.SetIcon(FromNative(big_icon_.get()));

  const Rect& b = m_.picIcon.Bounds();
  if (!icon_box_.Create(hwnd_, b, inst)) {
    LogCallFailed(L"CreateWindowExW (tip icon)");
    return false;
  }
  icon_bounds_ = b;
  m_.picIcon.AttachWindow(FromHwnd(icon_box_.hwnd()));
  return true;
}

bool TipWindow::IconBox::Create(HWND parent, const Rect& b, HINSTANCE instance) {
  if (!RegisterWindowClass(instance, kIconClassName)) LogCallFailed(L"RegisterClassExW (tip icon)");
  return CreateOwned(0, kIconClassName, L"", WS_CHILD | WS_VISIBLE, b.left, b.top, b.width(),
                     b.height(), parent, instance);
}

// ---------------------------------------------------------------- events

// After each event both windows are brought in line, as DoEvents does; a
// failure inside the event stops there.
void TipWindow::Dispatch(const std::function<void()>& event) {
  if (tk_.Ended()) return;
  ContainFailure(L"A tip event", event);
  ContainFailure(L"Bringing the windows in line", [&] {
    if (tk_.sync)
      tk_.sync();
    else
      Sync();
  });
}

LRESULT TipWindow::IconBox::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: return OnPaint();
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    default: return DefWindowProcW(hwnd_, msg, wp, lp);
  }
}

// Window messages become the model's events; no tip logic lives here.
LRESULT TipWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: return OnPaint();
    case WM_TIMER:
      if (wp == kTimerHide)
        Dispatch([&] { m_.tmrHide.Fire(); });
      else if (wp == kTimerUpdate)
        Dispatch([&] { m_.tmrUpdate.Fire(); });
      return 0;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: OnPress(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}); return 0;
    case WM_WINDOWPOSCHANGED: {
      RECT r;
      GetWindowRect(hwnd_, &r);
      m_.ReportBounds(Rect{r.left, r.top, r.right, r.bottom});
      break;
    }
    case WM_CLOSE: return 0;  // lives until the process ends
    default: break;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

// The topmost piece under the finger gets the press; all of them drag.
void TipWindow::OnPress(POINT pt) {
  for (int i : {kLeft, kSeparator}) {
    const auto& piece = m_.imgSkin[static_cast<std::size_t>(i)];
    if (piece.Visible() && Inside(piece.Bounds(), pt)) {
      Dispatch([&] { m_.imgSkin_MouseDown(i); });
      return;
    }
  }
  for (int i : {1, 0}) {
    const auto& label = m_.lblInfo[static_cast<std::size_t>(i)];
    if (label.Visible() && !label.Caption().empty() && Inside(label.Bounds(), pt)) {
      Dispatch([&] { m_.lblInfo_MouseDown(i); });
      return;
    }
  }
  for (auto it = std::rbegin(kSkinOrder); it != std::rend(kSkinOrder); ++it) {
    const auto& piece = m_.imgSkin[static_cast<std::size_t>(*it)];
    if (piece.Visible() && Inside(piece.Bounds(), pt)) {
      const int i = *it;
      Dispatch([&] { m_.imgSkin_MouseDown(i); });
      return;
    }
  }
}

// ---------------------------------------------------------------- painting

// The tip is composed again only when a piece or a caption changed.
void TipWindow::Paint(HDC target) {
  RECT client;
  GetClientRect(hwnd_, &client);
  const std::uint64_t from = ControlsVersion();
  if (!composed_ || from != composed_from_ || client.right != composed_width_ ||
      client.bottom != composed_height_) {
    composed_from_ = from;
    composed_width_ = client.right;
    composed_height_ = client.bottom;
    // Composed off screen: the pieces overlap and would flicker in turn.
    UniqueDc memory(CreateCompatibleDC(target));
    composed_.reset(CreateCompatibleBitmap(target, client.right, client.bottom));
    if (!memory || !composed_) {
      // Without memory for that, they are drawn straight onto the window.
      composed_.reset();
      LogCallFailed(L"CreateCompatibleBitmap (tip)");
      Compose(target, client);
      return;
    }
    const SelectedObject on_canvas(memory.get(), composed_.get());
    Compose(memory.get(), client);
  }
  UniqueDc dc(CreateCompatibleDC(target));
  const SelectedObject on_canvas(dc.get(), composed_.get());
  BitBlt(target, 0, 0, client.right, client.bottom, dc.get(), 0, 0, SRCCOPY);
}

// Skin, captions, then the two pieces that lie over the captions.
void TipWindow::Compose(HDC dc, const RECT& client) {
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  UniqueDc scratch(CreateCompatibleDC(dc));
  // Smoothed where the skin grows with the screen's density.
  SetStretchBltMode(dc, tk_.Dpi() == 96 ? COLORONCOLOR : HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  for (int i : kSkinOrder) DrawPiece(dc, scratch.get(), m_.imgSkin[static_cast<std::size_t>(i)]);
  SetBkMode(dc, TRANSPARENT);
  for (const auto& label : m_.lblInfo) DrawCaption(dc, label);
  for (int i : kSkinOverCaptions) {
    DrawPiece(dc, scratch.get(), m_.imgSkin[static_cast<std::size_t>(i)]);
  }
}

// Changes with any piece, caption or the icon.
std::uint64_t TipWindow::ControlsVersion() const {
  std::uint64_t v = m_.picIcon.Version();
  for (const auto& piece : m_.imgSkin) v = v * 31 + piece.Version();
  for (const auto& label : m_.lblInfo) v = v * 31 + label.Version();
  return v;
}

// Every piece is stretched to its model's size; unstretched ones keep their own.
void TipWindow::DrawPiece(HDC dc, HDC scratch, const PictureBox& piece) {
  if (!piece.Visible()) return;
  HBITMAP bmp = tk_.Bitmap(piece.GetPicture());
  if (!bmp) return;
  BITMAP bm{};
  GetObjectW(bmp, sizeof(bm), &bm);
  const SelectedObject picture(scratch, bmp);
  StretchBlt(dc, piece.Left(), piece.Top(), piece.Width(), piece.Height(), scratch, 0, 0,
             bm.bmWidth, std::abs(bm.bmHeight), SRCCOPY);
}

// Transparent captions, CR LF breaking lines, cut only by the window.
void TipWindow::DrawCaption(HDC dc, const Label& label) {
  if (!label.Visible() || label.Caption().empty()) return;
  const SelectedObject font(dc, tk_.Fonts().Get(label.Font()));
  SetTextColor(dc, label.ForeColor());
  RECT r = ToRect(label.Bounds());
  DrawTextW(dc, label.Caption().c_str(), static_cast<int>(label.Caption().size()), &r,
            DT_LEFT | DT_NOPREFIX | DT_NOCLIP);
}

// The icon at its own size from the box's corner; the region hides the rest.
void TipWindow::PaintIcon(HWND icon, HDC dc) {
  RECT client;
  GetClientRect(icon, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  HBITMAP bmp = tk_.Bitmap(m_.picIcon.GetPicture());
  if (!bmp) return;
  BITMAP bm{};
  GetObjectW(bmp, sizeof(bm), &bm);
  UniqueDc src(CreateCompatibleDC(dc));
  const SelectedObject picture(src.get(), bmp);
  BitBlt(dc, 0, 0, bm.bmWidth, std::abs(bm.bmHeight), src.get(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------- syncing

// Real timers follow their models only when the model changed.
void TipWindow::SyncTimer(Timer& timer, UINT_PTR id, std::uint64_t& seen) {
  if (seen == timer.Version()) return;
  seen = timer.Version();
  // SetTimer on a running id starts its countdown afresh, as re-enabling does.
  if (timer.Enabled())
    SetTimer(hwnd_, id, timer.Interval(), nullptr);
  else
    KillTimer(hwnd_, id);
}

// Cheap when nothing changed: every part compares a version first.
void TipWindow::Sync() {
  if (!hwnd_ || syncing_) return;
  const FlagScope syncing(syncing_);
  SyncTimer(m_.tmrHide, kTimerHide, hide_version_);
  SyncTimer(m_.tmrUpdate, kTimerUpdate, update_version_);
  // A parked tip is repainted no more: what it last showed is let go.
  if (!m_.tmrUpdate.Enabled()) composed_.reset();

  if (form_version_ != m_.Version()) {
    form_version_ = m_.Version();
    SetWindowTextW(hwnd_, m_.Caption().c_str());
    const bool shown = IsWindowVisible(hwnd_) != 0;
    if (m_.Visible() != shown) ShowWindow(hwnd_, m_.Visible() ? SW_SHOWNOACTIVATE : SW_HIDE);
  }

  const auto& icon = m_.picIcon;
  if (!(icon_bounds_ == icon.Bounds())) {
    icon_bounds_ = icon.Bounds();
    SetWindowPos(icon_box_.hwnd(), nullptr, icon.Left(), icon.Top(), icon.Width(), icon.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (icon_picture_ != icon.GetPicture()) {
    icon_picture_ = icon.GetPicture();
    InvalidateRect(icon_box_.hwnd(), nullptr, FALSE);
  }

  // Any change of a piece or a caption repaints the whole small window.
  const std::uint64_t controls = ControlsVersion();
  if (controls != controls_seen_) {
    controls_seen_ = controls;
    InvalidateRect(hwnd_, nullptr, FALSE);
  }
  // The screen already shows a picture that has not changed: only what was
  // uncovered meanwhile is painted again.
  if (repaints_seen_ != m_.RepaintRequests()) {
    repaints_seen_ = m_.RepaintRequests();
    RECT client;
    GetClientRect(hwnd_, &client);
    const bool current = composed_ && composed_from_ == ControlsVersion() &&
                         composed_width_ == client.right && composed_height_ == client.bottom;
    RedrawWindow(hwnd_, nullptr, nullptr,
                 (current ? 0 : RDW_INVALIDATE) | RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
}

}  // namespace orv::win32
