// The real candidate strip.
#include "win32/strip_window.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "win32/touch_input.h"
#include "win32/unique_handle.h"

namespace orv::win32 {

namespace {

constexpr wchar_t kClassName[] = L"OrvKeyWords";
constexpr wchar_t kWordClassName[] = L"OrvKeyWord";
// Pushes new words: a timer's message waits behind the input and paints
// already queued, so the next touch and the key's press colour go first.
constexpr UINT_PTR kTimerWords = 2;

// The keyboard's own artwork: its background runs from this at the top
// edge, and a word is a character key of it.
constexpr COLORREF kStripTop = RGB(22, 23, 27), kStripBottom = RGB(40, 42, 48);
constexpr COLORREF kBezel = RGB(70, 73, 80), kBezelLeft = RGB(54, 56, 62),
                   kBezelRight = RGB(14, 14, 16);
constexpr COLORREF kKeyBorder = RGB(77, 80, 89), kKeyFaceTop = RGB(52, 54, 60),
                   kKeyFaceBottom = RGB(30, 31, 36), kKeyLight = RGB(105, 108, 118);

COLORREF Mix(COLORREF a, COLORREF b, int num, int den) {
  if (den <= 0) return a;
  auto mix = [&](int x, int y) { return x + (y - x) * num / den; };
  return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
             mix(GetBValue(a), GetBValue(b)));
}

void FillRow(HDC dc, int left, int right, int y, COLORREF c) {
  SetDCBrushColor(dc, c);
  const RECT row{left, y, right, y + 1};
  FillRect(dc, &row, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// A picture in the program's own memory: copying it onto the strip is a
// copy in memory, where one compatible with the screen may have to be
// fetched from the window system first.
HBITMAP MakePicture(HDC like, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = std::max(width, 1);
  info.bmiHeader.biHeight = -std::max(height, 1);
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  return CreateDIBSection(like, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

}  // namespace

StripWindow::StripWindow(FrmKbd& model, Win32Toolkit& toolkit) : m_(model), tk_(toolkit) {
  for (int i = 0; i < kStripWords; ++i)
    words_[static_cast<std::size_t>(i)] = std::make_unique<WordBox>(*this);
}

bool StripWindow::Create(HWND keyboard) {
  HINSTANCE inst = tk_.Instance();
  RegisterWindowClass(inst, kClassName);
  // Owned by the keyboard, so that it stays in front of it; a tool window
  // that is never activated, so that the target keeps the focus. It paints
  // its words itself, over its children: one paint for every change.
  const WordStrip& strip = m_.frmWords;
  if (!CreateOwned(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName,
                   strip.Caption().c_str(), WS_POPUP, strip.Left(), strip.Top(),
                   std::max(strip.Width(), 1), std::max(strip.Height(), 1), keyboard, inst)) {
    return false;
  }
  m_.frmWords.AttachWindow(FromHwnd(hwnd_));
  // A finger on a word presses it at once, as on a key.
  TurnOffTouchGestures(hwnd_);
  for (int i = 0; i < kStripWords; ++i) {
    auto& word = *words_[static_cast<std::size_t>(i)];
    if (!word.Create(hwnd_, inst)) return false;
    TurnOffTouchGestures(word.hwnd());
    m_.frmWords.lblWord[static_cast<std::size_t>(i)].AttachWindow(FromHwnd(word.hwnd()));
  }
  return true;
}

// Shown for good: showing and hiding a window is a round trip to the
// window system each time, and a word without a caption draws nothing.
bool StripWindow::WordBox::Create(HWND parent, HINSTANCE instance) {
  RegisterWindowClass(instance, kWordClassName);
  return CreateOwned(0, kWordClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent, instance);
}

// ---------------------------------------------------------------- events

void StripWindow::Dispatch(const std::function<void()>& event) {
  m_.BeginEvent();
  event();
  if (m_.Ended()) return;
  if (tk_.sync)
    tk_.sync();
  else
    Sync();
}

LRESULT StripWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (const auto answer = press_input_.OnMessage(hwnd_, msg, wp, lp)) return *answer;
  switch (msg) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: return OnPaint();
    case WM_TIMER:
      if (wp == kTimerWords) PushWords();
      return 0;
    case kWmPointerActivate: return kPaNoActivate;
    default: break;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT StripWindow::WordBox::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    // The strip draws the word where this window lies; the strip is
    // painted wherever this window is.
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: ValidateRect(hwnd_, nullptr); return 0;
    // Presses are the strip's, in its own coordinates. A word stays what
    // is under the point, for what asks a window there for its text.
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE: {
      POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      MapWindowPoints(hwnd_, strip_.hwnd(), &pt, 1);
      return strip_.OnMessage(msg, wp, MAKELPARAM(pt.x, pt.y));
    }
    // A pointer message is on the screen's coordinates.
    case kWmPointerDown:
    case kWmPointerUpdate:
    case kWmPointerUp:
    case kWmPointerCaptureChanged:
    case kWmPointerActivate: return strip_.OnMessage(msg, wp, lp);
    default: break;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

bool StripWindow::Press(const PressEvent& e) {
  bool taken = false;
  Dispatch([&] { taken = m_.frmWords_Press(e); });
  return taken;
}

// ---------------------------------------------------------------- painting

void StripWindow::FillBackground(HDC dc, const RECT& r) {
  const int h = std::max(m_.frmWords.Height(), 1);
  for (int y = r.top; y < r.bottom; ++y)
    FillRow(dc, r.left, r.right, y, Mix(kStripTop, kStripBottom, y, h - 1));
}

LRESULT StripWindow::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  Paint(dc, &ps.rcPaint);
  EndPaint(hwnd_, &ps);
  return 0;
}

// The strip is drawn from pieces kept for its size: the background with
// the keyboard's bezel round it, the words' faces; only the captions are
// drawn each time. A change of words costs a few copies and the captions,
// put straight onto the strip: what it showed before is not seen between.
void StripWindow::Paint(HDC dc, const RECT* update) {
  RECT client;
  GetClientRect(hwnd_, &client);
  RECT r = client;
  if (update && !IntersectRect(&r, update, &client)) return;
  UniqueDc pieces(CreateCompatibleDC(dc));
  if (!pieces) return;
  {
    const SelectedObject backdrop(pieces.get(), Backdrop(dc, client));
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, pieces.get(), r.left, r.top,
           SRCCOPY);
  }
  SetBkMode(dc, TRANSPARENT);
  const int dpi = tk_.Dpi(), pad = ScaleFrom96(6, dpi);
  for (const Label& label : m_.frmWords.lblWord) {
    const Rect& b = label.Bounds();
    const RECT at{b.left, b.top, b.right, b.bottom};
    RECT overlap;
    if (!label.Visible() || b.width() <= 0 || b.height() <= 0 || !IntersectRect(&overlap, &at, &r))
      continue;
    {
      const SelectedObject face(pieces.get(), Face(dc, b));
      BitBlt(dc, b.left, b.top, b.width(), b.height(), pieces.get(), 0, 0, SRCCOPY);
    }
    if (label.Caption().empty()) continue;
    const SelectedObject font(dc, tk_.Fonts().Get(label.Font()));
    SetTextColor(dc, label.ForeColor());
    RECT text{b.left + pad, b.top, b.right - pad, b.bottom};
    DrawTextW(dc, label.Caption().c_str(), static_cast<int>(label.Caption().size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
}

// The background running down from the keyboard's top edge, and the
// keyboard's bezel carried round the strip.
HBITMAP StripWindow::Backdrop(HDC like, const RECT& client) {
  if (backdrop_ && backdrop_size_.x == client.right && backdrop_size_.y == client.bottom)
    return backdrop_.get();
  faces_.clear();
  backdrop_size_ = POINT{client.right, client.bottom};
  backdrop_.reset(MakePicture(like, client.right, client.bottom));
  UniqueDc dc(CreateCompatibleDC(like));
  const SelectedObject on_backdrop(dc.get(), backdrop_.get());
  FillBackground(dc.get(), client);
  FillRow(dc.get(), 0, client.right, 0, kBezel);
  SetDCBrushColor(dc.get(), kBezelLeft);
  RECT left{0, 1, 1, client.bottom}, right{client.right - 1, 1, client.right, client.bottom};
  FillRect(dc.get(), &left, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  SetDCBrushColor(dc.get(), kBezelRight);
  FillRect(dc.get(), &right, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  return backdrop_.get();
}

// A word's face, drawn as a character key's: rounded, darkening downwards,
// its top edge lit, over the background of its place. Words of one size at
// one height share it.
HBITMAP StripWindow::Face(HDC like, const Rect& b) {
  const int w = b.width(), h = b.height();
  const auto key = std::make_tuple(w, h, b.top);
  if (const auto it = faces_.find(key); it != faces_.end()) return it->second.get();
  if (faces_.size() >= 16) faces_.clear();
  UniqueBitmap face(MakePicture(like, w, h));
  UniqueDc dc(CreateCompatibleDC(like));
  {
    const SelectedObject on_face(dc.get(), face.get());
    SetViewportOrgEx(dc.get(), -b.left, -b.top, nullptr);
    FillBackground(dc.get(), RECT{b.left, b.top, b.right, b.bottom});
    SetViewportOrgEx(dc.get(), 0, 0, nullptr);
    const int round = ScaleFrom96(10, tk_.Dpi());
    {
      UniqueRegion shape(CreateRoundRectRgn(1, 1, w, h, round, round));
      SelectClipRgn(dc.get(), shape.get());
      for (int y = 1; y < h - 1; ++y)
        FillRow(dc.get(), 1, w - 1, y, Mix(kKeyFaceTop, kKeyFaceBottom, y, h - 2));
      FillRow(dc.get(), 1, w - 1, 1, kKeyLight);
      SelectClipRgn(dc.get(), nullptr);
    }
    const SelectedObject pen(dc.get(), GetStockObject(DC_PEN));
    const SelectedObject brush(dc.get(), GetStockObject(NULL_BRUSH));
    SetDCPenColor(dc.get(), kKeyBorder);
    RoundRect(dc.get(), 0, 0, w, h, round, round);
  }
  return faces_.emplace(key, std::move(face)).first->second.get();
}

// ---------------------------------------------------------------- syncing

void StripWindow::Sync() {
  if (!hwnd_ || syncing_) return;
  const FlagScope syncing(syncing_);
  m_.DockWordStrip();
  WordStrip& strip = m_.frmWords;
  const bool moved = form_version_ != strip.Version();
  if (moved) {
    form_version_ = strip.Version();
    RECT now;
    GetWindowRect(hwnd_, &now);
    if (now.left != strip.Left() || now.top != strip.Top() ||
        now.right - now.left != strip.Width() || now.bottom - now.top != strip.Height()) {
      SetWindowPos(hwnd_, nullptr, strip.Left(), strip.Top(), strip.Width(), strip.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
      InvalidateRect(hwnd_, nullptr, FALSE);
    }
  }
  const bool shown = IsWindowVisible(hwnd_) != 0;
  // Words that a key brought wait; a press on the strip has laid them out
  // already, and a strip coming into view comes with its words.
  if (strip.Settled() || (strip.Visible() && !shown)) {
    PushWords();
  } else if (!words_due_) {
    words_due_ = SetTimer(hwnd_, kTimerWords, USER_TIMER_MINIMUM, nullptr) != 0;
    if (!words_due_) PushWords();
  }
  if (moved) {
    if (strip.Visible() && !shown) {
      // In front of every window, the keyboard included, without activation.
      SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    } else if (!strip.Visible() && shown) {
      ShowWindow(hwnd_, SW_HIDE);
    }
  }
}

// Only what changed reaches a window: a word's window moves (in one batch,
// painting nothing) and takes its new text; the strip then paints where
// words changed, once.
void StripWindow::PushWords() {
  if (std::exchange(words_due_, false)) KillTimer(hwnd_, kTimerWords);
  WordStrip& strip = m_.frmWords;
  strip.Settle();
  struct Placing {
    HWND word;
    Rect at;
  };
  std::vector<Placing> placings;
  RECT changed{0, 0, 0, 0};
  const auto add = [&changed](const Rect& b) {
    const RECT r{b.left, b.top, b.right, b.bottom};
    UnionRect(&changed, &changed, &r);
  };
  for (std::size_t i = 0; i < words_.size(); ++i) {
    auto& box = *words_[i];
    const Label& label = strip.lblWord[i];
    if (box.pushed_version == label.Version()) continue;
    box.pushed_version = label.Version();
    const Rect& b = label.Bounds();
    // Where the word was drawn, and where it is drawn now.
    if (box.pushed_visible) add(box.pushed_bounds);
    if (label.Visible()) add(b);
    box.pushed_visible = label.Visible();
    // A word no longer shown keeps its place: it has no text there.
    if (label.Visible() && box.pushed_bounds != b) {
      box.pushed_bounds = b;
      placings.push_back({box.hwnd(), b});
    }
    const std::wstring& text = label.Visible() ? label.Caption() : std::wstring();
    if (box.pushed_caption != text) {
      box.pushed_caption = text;
      SetWindowTextW(box.hwnd(), text.c_str());
    }
  }
  if (!placings.empty()) {
    constexpr UINT kFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOCOPYBITS;
    HDWP batch = BeginDeferWindowPos(static_cast<int>(placings.size()));
    for (const auto& p : placings) {
      if (batch)
        batch = DeferWindowPos(batch, p.word, nullptr, p.at.left, p.at.top, p.at.width(),
                               p.at.height(), kFlags);
    }
    if (!batch || !EndDeferWindowPos(batch)) {
      // Without the batch, one by one.
      for (const auto& p : placings)
        SetWindowPos(p.word, nullptr, p.at.left, p.at.top, p.at.width(), p.at.height(), kFlags);
    }
  }
  // Painted at once, without a paint message's round trips; a strip not
  // on screen yet is painted whole when it comes.
  if (IsRectEmpty(&changed) || !IsWindowVisible(hwnd_)) return;
  const WindowDc dc(hwnd_);
  if (dc)
    Paint(dc.get(), &changed);
  else
    InvalidateRect(hwnd_, &changed, FALSE);
}

}  // namespace orv::win32
