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
// Looks for the finger's lift once the capture is gone from a pressed word.
constexpr UINT_PTR kTimerLift = 1;
constexpr UINT kLiftCheckMs = 15;
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

}  // namespace

StripWindow::StripWindow(FrmKbd& model, Win32Toolkit& toolkit) : m_(model), tk_(toolkit) {
  for (int i = 0; i < kStripWords; ++i)
    words_[static_cast<std::size_t>(i)] = std::make_unique<WordBox>(*this, i);
}

bool StripWindow::Create(HWND keyboard) {
  HINSTANCE inst = tk_.Instance();
  RegisterWindowClass(inst, kClassName);
  // Owned by the keyboard, so that it stays in front of it; a tool window
  // that is never activated, so that the target keeps the focus.
  const WordStrip& strip = m_.frmWords;
  if (!CreateOwned(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName,
                   strip.Caption().c_str(), WS_POPUP | WS_CLIPCHILDREN, strip.Left(), strip.Top(),
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

bool StripWindow::WordBox::Create(HWND parent, HINSTANCE instance) {
  RegisterWindowClass(instance, kWordClassName);
  return CreateOwned(0, kWordClassName, L"", WS_CHILD, 0, 0, 1, 1, parent, instance);
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
  switch (msg) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: return OnPaint();
    case WM_TIMER:
      if (wp == kTimerLift) CheckLift();
      if (wp == kTimerWords) PushWords();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      const auto [kind, button] = *MouseButtonOf(msg);
      MousePress(kind, lp, button);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (m_.WordPresses().Holds(kMousePointer))
        MousePress(PressEvent::Kind::kMove, lp, PressButton::kLeft);
      return 0;
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED:
      // The capture went elsewhere while the button is down: its lift is
      // looked for instead.
      if (m_.WordPresses().Holds(kMousePointer) && !releasing_ &&
          (msg == WM_CANCELMODE || reinterpret_cast<HWND>(lp) != hwnd_))
        MousePress(PressEvent::Kind::kLost, 0, PressButton::kLeft);
      if (msg == WM_CANCELMODE) break;
      return 0;
    case kWmPointerDown:
    case kWmPointerUpdate:
    case kWmPointerUp:
    case kWmPointerCaptureChanged:
      // A finger or a pen stays the strip's and never becomes the mouse's:
      // the cursor stays, and so does the focus of the field typed into.
      if (const auto e = PointerPressEvent(hwnd_, msg, wp, lp); e && Press(*e)) return 0;
      break;
    case kWmPointerActivate: return kPaNoActivate;
    default: break;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT StripWindow::WordBox::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: return OnPaint();
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

void StripWindow::MousePress(PressEvent::Kind kind, LPARAM lp, PressButton button) {
  const PressEvent e = MousePressEvent(kind, lp, button);
  const auto release = [this] {
    if (GetCapture() != hwnd_) return;
    const FlagScope releasing(releasing_);
    ReleaseCapture();
  };
  if (kind == PressEvent::Kind::kUp && button == PressButton::kLeft) release();
  Press(e);
  if (m_.Ended()) return;
  const bool pressed = m_.WordPresses().Holds(kMousePointer);
  if (pressed && kind == PressEvent::Kind::kDown) SetCapture(hwnd_);
  if (!pressed) release();
  if (m_.WordPresses().AwaitsLift())
    SetTimer(hwnd_, kTimerLift, kLiftCheckMs, nullptr);
  else
    KillTimer(hwnd_, kTimerLift);
}

void StripWindow::CheckLift() {
  if (!m_.WordPresses().AwaitsLift()) {
    KillTimer(hwnd_, kTimerLift);
    return;
  }
  if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) return;
  POINT pt;
  GetCursorPos(&pt);
  ScreenToClient(hwnd_, &pt);
  MousePress(PressEvent::Kind::kUp, MAKELPARAM(pt.x, pt.y), PressButton::kLeft);
}

// ---------------------------------------------------------------- painting

void StripWindow::FillBackground(HDC dc, const RECT& r, int dx, int dy) {
  const int h = std::max(m_.frmWords.Height(), 1);
  for (int y = r.top; y < r.bottom; ++y)
    FillRow(dc, r.left - dx, r.right - dx, y - dy, Mix(kStripTop, kStripBottom, y, h - 1));
}

void StripWindow::Paint(HDC dc) {
  RECT client;
  GetClientRect(hwnd_, &client);
  FillBackground(dc, client, 0, 0);
  // The keyboard's bezel, carried round the strip.
  FillRow(dc, 0, client.right, 0, kBezel);
  SetDCBrushColor(dc, kBezelLeft);
  RECT left{0, 1, 1, client.bottom}, right{client.right - 1, 1, client.right, client.bottom};
  FillRect(dc, &left, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  SetDCBrushColor(dc, kBezelRight);
  FillRect(dc, &right, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// A word is drawn as a character key: a rounded face darkening downwards,
// a lit top edge, the caption in the key font and colour.
void StripWindow::PaintWord(int index, HWND word, HDC target) {
  const Label& label = m_.frmWords.lblWord[static_cast<std::size_t>(index)];
  RECT client;
  GetClientRect(word, &client);
  const int w = client.right, h = client.bottom;
  UniqueDc dc(CreateCompatibleDC(target));
  UniqueBitmap canvas(CreateCompatibleBitmap(target, std::max(w, 1), std::max(h, 1)));
  const SelectedObject on_canvas(dc.get(), canvas.get());
  FillBackground(dc.get(), RECT{label.Left(), label.Top(), label.Left() + w, label.Top() + h},
                 label.Left(), label.Top());

  const int dpi = tk_.Dpi();
  const int round = ScaleFrom96(10, dpi);
  {
    UniqueRegion face(CreateRoundRectRgn(1, 1, w, h, round, round));
    SelectClipRgn(dc.get(), face.get());
    for (int y = 1; y < h - 1; ++y)
      FillRow(dc.get(), 1, w - 1, y, Mix(kKeyFaceTop, kKeyFaceBottom, y, h - 2));
    FillRow(dc.get(), 1, w - 1, 1, kKeyLight);
    SelectClipRgn(dc.get(), nullptr);
  }
  {
    const SelectedObject pen(dc.get(), GetStockObject(DC_PEN));
    const SelectedObject brush(dc.get(), GetStockObject(NULL_BRUSH));
    SetDCPenColor(dc.get(), kKeyBorder);
    RoundRect(dc.get(), 0, 0, w, h, round, round);
  }
  if (!label.Caption().empty()) {
    const SelectedObject font(dc.get(), tk_.Fonts().Get(label.Font()));
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), label.ForeColor());
    RECT text{ScaleFrom96(6, dpi), 0, w - ScaleFrom96(6, dpi), h};
    DrawTextW(dc.get(), label.Caption().c_str(), static_cast<int>(label.Caption().size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  BitBlt(target, 0, 0, w, h, dc.get(), 0, 0, SRCCOPY);
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

// Only what changed reaches a window: a word's place and visibility in one
// batch, its text when it is another.
void StripWindow::PushWords() {
  if (std::exchange(words_due_, false)) KillTimer(hwnd_, kTimerWords);
  WordStrip& strip = m_.frmWords;
  strip.Settle();
  struct Placing {
    HWND word;
    Rect at;
    UINT flags;
  };
  std::vector<Placing> placings;
  for (std::size_t i = 0; i < words_.size(); ++i) {
    auto& box = *words_[i];
    const Label& label = strip.lblWord[i];
    if (box.pushed_version == label.Version()) continue;
    box.pushed_version = label.Version();
    HWND word = box.hwnd();
    const Rect& b = label.Bounds();
    if (box.pushed_bounds != b || box.pushed_visible != label.Visible()) {
      box.pushed_bounds = b;
      box.pushed_visible = label.Visible();
      placings.push_back({word, b,
                          static_cast<UINT>(SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS |
                                            (label.Visible() ? SWP_SHOWWINDOW : SWP_HIDEWINDOW))});
    }
    if (box.pushed_caption != label.Caption()) {
      box.pushed_caption = label.Caption();
      SetWindowTextW(word, label.Caption().c_str());
    }
    InvalidateRect(word, nullptr, FALSE);
  }
  if (placings.empty()) return;
  HDWP batch = BeginDeferWindowPos(static_cast<int>(placings.size()));
  for (const auto& p : placings) {
    if (batch)
      batch = DeferWindowPos(batch, p.word, nullptr, p.at.left, p.at.top, p.at.width(),
                             p.at.height(), p.flags);
  }
  if (batch && EndDeferWindowPos(batch)) return;
  // Without the batch, one by one.
  for (const auto& p : placings)
    SetWindowPos(p.word, nullptr, p.at.left, p.at.top, p.at.width(), p.at.height(), p.flags);
}

}  // namespace orv::win32
