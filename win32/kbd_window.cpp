// The real keyboard window.
#include "win32/kbd_window.h"

#include "win32/common_controls.h"
#include "win32/system_library.h"
#include "win32/touch_input.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <vssym32.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>
#include <vector>

// Sent from Windows 8.1 on; older headers may leave it out.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace orv::win32 {

namespace {

constexpr wchar_t kClassName[] = L"OrvKeyKeyboard";
constexpr wchar_t kTrayReceiverClassName[] = L"OrvKeyTrayReceiver";
constexpr UINT_PTR kTimerHwnd = 1;
constexpr UINT kMsgLeftButton = WM_APP + 0x40;
constexpr UINT kMsgFirstPainted = WM_APP + 0x41;
constexpr UINT kMsgHookRefused = WM_APP + 0x42;
constexpr UINT kMsgWorkerFinished = WM_APP + 0x43;
// After a release the model still needs ticks: a touched window may show
// its caret a while after the finger (the model waits kCaretWaitMs for it),
// and a tap shorter than a tick is only seen by the tick after it. Twice the
// wait leaves room for a busy thread.
constexpr DWORD kPollLingerMs = 2 * kCaretWaitMs;
constexpr UINT_PTR kTimerRepeat = 2;
constexpr UINT_PTR kTimerEnter = 5;
// Asks, a while after a press that raw input saw, whether the hook saw it.
constexpr UINT_PTR kTimerHookCheck = 4;
constexpr int kIdText = 1000, kIdLang = 1100, kIdFont = 1200, kIdSize = 1201, kIdOption = 1300,
              kIdButton = 1400;
constexpr Color kOptionText = 0x00E0E0E0;
constexpr Color kLayoutBoxBack = 0x00262626;
// The drop-down part of the edit line, below its 37-pixel edit part (at 96 DPI).
constexpr int kDropHeight96 = 240;

// The one keyboard window, for the system's event callback.
KbdWindow* g_kbd_window = nullptr;

RECT ToRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// A system call that failed, with the system's error number.
void LogCallFailed(const wchar_t* call) {
  LogFailure(std::wstring(call) + L" failed: error " + std::to_wstring(GetLastError()));
}

// A bitmap to paint on off screen, top-down, 32 bits a pixel: its pixels are
// the process's own pages, handed back when it is deleted. Under Wine a
// compatible bitmap's pixels come from the graphics driver's heap, which
// keeps a whole keyboard's worth of them after the paint.
HBITMAP MakeCanvas(HDC dc, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  return CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

std::wstring WindowText(HWND hwnd) {
  const int n = GetWindowTextLengthW(hwnd);
  std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(hwnd, s.data(), n + 1);
  s.resize(static_cast<std::size_t>(std::max(got, 0)));
  return s;
}

}  // namespace

KbdWindow::KbdWindow(FrmKbd& model, Win32Toolkit& toolkit) : m_(model), tk_(toolkit) {}

bool KbdWindow::Create() {
  HINSTANCE inst = tk_.Instance();
  icon_.reset(
      static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(1), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
  if (!RegisterWindowClass(inst, kClassName, icon_.get()))
    LogCallFailed(L"RegisterClassExW (keyboard)");

  if (HRSRC found = FindResourceW(inst, L"KEYBOARD", RT_BITMAP)) {
    const auto* info = static_cast<const BITMAPINFO*>(LockResource(LoadResource(inst, found)));
    const BITMAPINFOHEADER* head = info ? &info->bmiHeader : nullptr;
    if (head && head->biSize >= sizeof(BITMAPINFOHEADER) && head->biCompression == BI_RGB &&
        head->biBitCount >= 16) {
      designed_info_ = info;
      designed_bits_ = reinterpret_cast<const BYTE*>(info) + head->biSize +
                       head->biClrUsed * sizeof(RGBQUAD);
    }
  }

  // Borderless, topmost, and kept off the taskbar: it is a tool beside the
  // car front-end, not an application of its own.
  caption_ = m_.Caption();
  if (!CreateOwned(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, caption_.c_str(),
                   WS_POPUP | WS_CLIPCHILDREN, m_.Left(), m_.Top(), m_.Width(), m_.Height(),
                   nullptr, inst)) {
    LogCallFailed(L"CreateWindowExW (keyboard)");
    return false;
  }
  m_.AttachWindow(FromHwnd(hwnd_));
  m_.SetIcon(FromNative(icon_.get()));
  // A finger on a key presses it at once, and a held key repeats.
  TurnOffTouchGestures(hwnd_);
  taskbar_created_ = RegisterWindowMessageW(L"TaskbarCreated");
  // The monitor the window came up on may not be at the system's density.
  if (const int dpi = Win32Toolkit::WindowDpi(hwnd_); dpi != tk_.Dpi()) {
    tk_.SetDpi(dpi);
    m_.FollowDpi(Rect{m_.Left(), m_.Top(), m_.Left(), m_.Top()});
  }
  if (!tray_receiver_.Create(hwnd_, inst))
    LogFailure(L"The tray's receiver could not be made: the tray icon does not answer");
  m_.picHook.AttachWindow(FromHwnd(tray_receiver_.hwnd()));

  label_versions_.assign(m_.lblX.size() + m_.lblControl.size() + m_.lblInfo.size(), ~0ull);
  return true;
}

bool KbdWindow::TrayReceiver::Create(HWND parent, HINSTANCE instance) {
  RegisterWindowClass(instance, kTrayReceiverClassName);
  return CreateOwned(0, kTrayReceiverClassName, L"", WS_CHILD, 0, 0, 1, 1, parent, instance);
}

LRESULT KbdWindow::TrayReceiver::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_MOUSEMOVE) return DefWindowProcW(hwnd_, msg, wp, lp);
  // The tray puts the mouse message over the icon where x would be.
  const int x_twips = static_cast<int>(static_cast<std::uint16_t>(LOWORD(lp))) *
                      keyboard_.tk_.TwipsPerPixelX();
  keyboard_.Dispatch([&] { keyboard_.m_.picHook_MouseMove(0, x_twips, 0); });
  return 0;
}

// The real edit line, and with it the common controls library: made right
// after the first paint, which draws its empty look with the keys (see
// TextLineDrawnWithKeys), or before the first sync that needs it.
void KbdWindow::MakeTextLine() {
  if (std::exchange(text_line_made_, true)) return;
  if (!common_controls::Load()) LogCallFailed(L"LoadLibraryExW (common controls)");
  HWND combo = MakeChild(WC_COMBOBOXW, WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0, m_.cmbText,
                         text_line_, kIdText, DropHeight());
  // No length limit: long fields are captured whole.
  SendMessageW(combo, CB_LIMITTEXT, 0, 0);
  m_.cmbText.AttachWindow(FromHwnd(combo));
  combo_edit_ = EditOf(combo);
  if (combo_edit_ && !common_controls::SetWindowSubclass(combo_edit_, ChildProc, kIdText,
                                                         reinterpret_cast<DWORD_PTR>(this))) {
    LogFailure(L"SetWindowSubclass (edit line) failed: the caret the user sets is not seen");
  }
}

// The first paint may stand in for the edit line while it is what the real
// one would show at once: empty, unmasked, at the designed density.
bool KbdWindow::TextLineDrawnWithKeys() const {
  return !text_line_made_ && !started_ && m_.cmbText.Visible() && m_.cmbText.Shown().empty() &&
         m_.cmbText.PasswordChar() == 0 && tk_.Dpi() == 96;
}

// What the first paint does not need waits for it: the hooks (their thread
// would compete with this one for the processor while the keys are being
// put on screen), then the owner's windows, then the options panel. A
// keyboard that starts hidden has no first paint: its start-up ends here.
void KbdWindow::FinishStartup() {
  MakeTextLine();
  if (std::exchange(started_, true)) return;
  // Every press anywhere reaches us, even while another application has
  // the focus: a tap shorter than one polling tick counts. Raw input only
  // stands in for a refused hook; it cannot wake the tick for the release.
  hooked_ = press_hook_.Install(hwnd_, kMsgLeftButton, kMsgHookRefused, on_left_press);
  if (!hooked_) UseRawInput();
  // Raw input also watches the hook, which the system may drop unsaid.
  RAWINPUTDEVICE mouse{0x01, 0x02, RIDEV_INPUTSINK, hwnd_};
  RegisterRawInputDevices(&mouse, 1, sizeof(mouse));
  g_kbd_window = this;
  foreground_hook_ = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                                     OnForeground, 0, 0,
                                     WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
  // Wine announces no change of the foreground, only of the focus.
  focus_hook_ = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, OnForeground, 0, 0,
                                WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
  if (after_start_up) after_start_up();
}

// Each child starts where the model has it and shown, and its pushed state
// says so: the first sync moves and shows nothing again (every such call is
// a round trip to the window system, paid at start-up).
HWND KbdWindow::MakeChild(const wchar_t* cls, DWORD style, DWORD ex, const Control& c,
                          Pushed& pushed, int id, int extra_height) {
  pushed.bounds = c.Bounds();
  pushed.bounds.bottom += extra_height;
  pushed.visible = true;
  HWND child =
      CreateWindowExW(ex, cls, L"", WS_CHILD | WS_VISIBLE | style, c.Left(), c.Top(), c.Width(),
                      c.Height() + extra_height, hwnd_,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), tk_.Instance(), nullptr);
  if (!child) LogCallFailed((L"CreateWindowExW (control " + std::to_wstring(id) + L")").c_str());
  return child;
}

// The options panel's controls lie below the keys, out of sight until the
// panel opens: they are made once the keyboard has first been painted (or
// when the panel opens before that), so that they do not hold back its
// first appearance.
void KbdWindow::MakePanel() {
  if (panel_made_) return;
  panel_made_ = true;
  common_controls::Load();
  const int drop = DropHeight();
  for (int i = 0; i < kLayouts; ++i) {
    auto& box = m_.txtLang[static_cast<std::size_t>(i)];
    HWND h = MakeChild(WC_EDITW, ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, box,
                       layouts_[static_cast<std::size_t>(i)], kIdLang + i);
    SendMessageW(h, EM_LIMITTEXT, static_cast<WPARAM>(box.MaxLength()), 0);
    box.AttachWindow(FromHwnd(h));
  }
  HWND fonts = MakeChild(WC_COMBOBOXW, WS_VSCROLL | CBS_DROPDOWNLIST, 0, m_.cmbFont, font_list_,
                         kIdFont, drop);
  m_.cmbFont.AttachWindow(FromHwnd(fonts));
  HWND sizes = MakeChild(WC_COMBOBOXW, WS_VSCROLL | CBS_DROPDOWNLIST, 0, m_.cmbSize, size_list_,
                         kIdSize, drop);
  m_.cmbSize.AttachWindow(FromHwnd(sizes));
  for (int i = 0; i < static_cast<int>(m_.chkFont.size()); ++i) {
    auto& box = m_.chkFont[static_cast<std::size_t>(i)];
    const bool swatch = i == kChkColor1 || i == kChkColor2;
    box.AttachWindow(FromHwnd(MakeChild(WC_BUTTONW, swatch ? BS_OWNERDRAW : BS_CHECKBOX, 0, box,
                                        options_[static_cast<std::size_t>(i)], kIdOption + i)));
  }
  for (int i = 0; i < 2; ++i) {
    auto& b = m_.cmdHistory[static_cast<std::size_t>(i)];
    b.AttachWindow(FromHwnd(MakeChild(WC_BUTTONW, BS_PUSHBUTTON, 0, b,
                                      buttons_[static_cast<std::size_t>(i)], kIdButton + i)));
  }
}

void KbdWindow::UseRawInput() {
  hooked_ = false;
  RAWINPUTDEVICE mouse{0x01, 0x02, RIDEV_INPUTSINK, hwnd_};
  // Without it the tick still polls, and only a tap shorter than a tick is lost.
  if (!RegisterRawInputDevices(&mouse, 1, sizeof(mouse))) LogCallFailed(L"RegisterRawInputDevices");
  SyncPollTimer();
}

// Out of context: the system calls this on our own thread, from its
// message loop, and the event costs nothing while nothing is activated.
// The focus moving within one window (from field to field) brings nothing
// to the front. Wine reports our own process's events too, and restacking
// in the middle of a click on one of our controls would lose the click.
void CALLBACK KbdWindow::OnForeground(HWINEVENTHOOK, DWORD, HWND hwnd, LONG, LONG, DWORD, DWORD) {
  const HWND front = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
  DWORD process = 0;
  if (!g_kbd_window || !front || !GetWindowThreadProcessId(front, &process) ||
      process == GetCurrentProcessId() || front == std::exchange(g_kbd_window->front_, front))
    return;
  g_kbd_window->StayOnTop();
}

// Only a keyboard that is topmost and shown: the window command routine
// may have taken topmost away, and a hidden one stays hidden. Without
// activation, the focus stays with the field.
// With no window manager, Wine puts a newly shown window on top of the
// screen while it counts the keyboard above it, and it restacks a window on
// the screen only when the window ends first in line: a move to where the
// keyboard already is does nothing, and the keyboard's own popups (the word
// strip, the tip) always go above it, SWP_NOOWNERZORDER or not, so it never
// ends first. So the popups are let go while the keyboard goes up, go up after
// it, and are owned again; on Windows the same calls leave the same order.
void KbdWindow::StayOnTop() {
  if (!hwnd_ || !IsWindowVisible(hwnd_) || !(GetWindowLongW(hwnd_, GWL_EXSTYLE) & WS_EX_TOPMOST))
    return;
  std::vector<HWND> popups;  // top first
  for (HWND w = GetWindow(hwnd_, GW_HWNDFIRST); w && w != hwnd_; w = GetWindow(w, GW_HWNDNEXT))
    if (GetWindow(w, GW_OWNER) == hwnd_ && IsWindowVisible(w)) popups.push_back(w);
  for (HWND w : popups) SetWindowLongPtrW(w, GWLP_HWNDPARENT, 0);
  constexpr UINT kInPlace = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  if (GetWindow(hwnd_, GW_HWNDFIRST) == hwnd_)
    SetWindowPos(hwnd_, HWND_NOTOPMOST, 0, 0, 0, 0, kInPlace);
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, kInPlace);
  for (auto w = popups.rbegin(); w != popups.rend(); ++w) {
    SetWindowPos(*w, HWND_TOPMOST, 0, 0, 0, 0, kInPlace);
    SetWindowLongPtrW(*w, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(hwnd_));
  }
}

HWND KbdWindow::EditOf(HWND combo) const {
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  if (GetComboBoxInfo(combo, &info)) return info.hwndItem;
  return FindWindowExW(combo, nullptr, WC_EDITW, nullptr);
}

// ---------------------------------------------------------------- events

// A failure inside the event stops there: the windows are still brought in
// line with what the models hold, and the next event runs as usual.
void KbdWindow::Dispatch(const std::function<void()>& event) {
  if (tk_.Ended()) return;
  ++dispatch_depth_;
  ContainFailure(L"A keyboard event", [&] {
    m_.BeginEvent();
    event();
  });
  --dispatch_depth_;
  // Both windows come in line: a key may have asked for a tip.
  if (m_.Ended()) return;
  ContainFailure(L"Bringing the windows in line", [&] {
    if (tk_.sync)
      tk_.sync();
    else
      Sync();
  });
}

LRESULT CALLBACK KbdWindow::ChildProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                      DWORD_PTR self) {
  if (msg == WM_NCDESTROY) common_controls::RemoveWindowSubclass(hwnd, ChildProc, id);
  try {
    return reinterpret_cast<KbdWindow*>(self)->OnChildMessage(hwnd, msg, wp, lp, id);
  } catch (...) {
    LogCurrentFailure(L"Child window message " + std::to_wstring(msg));
  }
  return 0;
}

LRESULT KbdWindow::OnChildMessage(HWND child, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id) {
  const LRESULT r = common_controls::DefSubclassProc(child, msg, wp, lp);
  if (id == kIdText) {
    switch (msg) {
      case WM_LBUTTONDOWN:
      case WM_LBUTTONUP:
      case WM_MOUSEMOVE:
      case WM_KEYDOWN:
      case WM_KEYUP: {
        // Where the user put the caret in the edit line.
        DWORD start = 0, end = 0;
        SendMessageW(child, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        m_.cmbText.ReportSelStart(static_cast<std::int32_t>(end));
        text_line_.sel = static_cast<std::int32_t>(end);
        if (msg == WM_LBUTTONUP || msg == WM_KEYUP) Dispatch([&] { m_.cmbText_CaretMoved(); });
        break;
      }
      default: break;
    }
  }
  return r;
}

void PostWorkerFinished(HWND keyboard) { PostMessageW(keyboard, kMsgWorkerFinished, 0, 0); }

LRESULT KbdWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == taskbar_created_ && msg != 0) {
    Dispatch([&] { m_.Form_TaskbarCreated(); });
    return 0;
  }
  if (const auto answer = press_input_.OnMessage(hwnd_, msg, wp, lp)) return *answer;
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: return OnPaint();
    case WM_TIMER:
      if (wp == kTimerHwnd) {
        const bool outermost = dispatch_depth_ == 0;
        Dispatch([&] { m_.tmrhWnd.Fire(); });
        if (hooked_ && outermost) AfterOutermostTick();
      }
      if (wp == kTimerRepeat) Dispatch([&] { m_.tmrRepeat.Fire(); });
      if (wp == kTimerEnter) Dispatch([&] { m_.tmrEnter.Fire(); });
      if (wp == kTimerHookCheck) CheckHook();
      return 0;
    case kMsgLeftButton: OnLeftButton(wp != 0); return 0;
    case kMsgHookRefused: UseRawInput(); return 0;
    case kMsgWorkerFinished: Dispatch([&] { m_.Form_WorkerFinished(); }); return 0;
    case kMsgFirstPainted:
      // The edit line, whose paint waits behind this message, comes first.
      MakeTextLine();
      Sync();
      RedrawWindow(hwnd_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      FinishStartup();
      MakePanel();
      Sync();
      return 0;
    case WM_INPUT: {
      RAWINPUT input{};
      UINT size = sizeof(input);
      if (GetRawInputData(reinterpret_cast<HRAWINPUT>(lp), RID_INPUT, &input, &size,
                          sizeof(RAWINPUTHEADER)) != static_cast<UINT>(-1) &&
          input.header.dwType == RIM_TYPEMOUSE &&
          (input.data.mouse.usButtonFlags & RI_MOUSE_LEFT_BUTTON_DOWN)) {
        if (!hooked_) {
          if (on_left_press) on_left_press();
        } else {
          hook_watch_.RawPress(static_cast<std::uint32_t>(GetMessageTime()));
          SetTimer(hwnd_, kTimerHookCheck, HookWatch::kGraceMs + 20, nullptr);
        }
      }
      break;
    }
    case WM_MOUSEACTIVATE:
      // Touching a key leaves the focus in the application being typed
      // into; only the real controls take it.
      if (LOWORD(lp) == HTCLIENT) {
        POINT pt;
        GetCursorPos(&pt);
        if (WindowFromPoint(pt) == hwnd_) return MA_NOACTIVATE;
      }
      break;
    case kWmPointerActivate: {
      // As for the mouse: a key leaves the focus where it is; only the
      // real controls take it.
      const auto at = PointerOnScreen(LOWORD(wp));
      if (!at || WindowFromPoint(*at) == hwnd_) return kPaNoActivate;
      break;
    }
    case WM_POWERBROADCAST:
      // A car PC sleeps at every ignition off; the hook may not have
      // survived it.
      if (wp == PBT_APMRESUMEAUTOMATIC) press_hook_.Reinstall();
      return TRUE;
    case WM_WINDOWPOSCHANGED: {
      // Only a move or a size is news to the model. A change of the z-order
      // alone (made topmost during start-up) must not put the old place
      // back over a restored one that is still to be pushed.
      // Nor is the place of a minimised window, off every screen: the model
      // keeps the place the keyboard comes back to, and the one it saves.
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
      if ((pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE) &&
          !IsIconic(hwnd_)) {
        RECT r;
        GetWindowRect(hwnd_, &r);
        m_.ReportBounds(Rect{r.left, r.top, r.right, r.bottom});
      }
      if (on_placed) on_placed();
      break;
    }
    case WM_ENTERSIZEMOVE:
    case WM_EXITSIZEMOVE:
      // While the system drags the keyboard, pumps nested in its loop (a
      // tip's slide) leave the finger's lift to it.
      tk_.SetInMoveLoop(msg == WM_ENTERSIZEMOVE);
      break;
    case WM_DPICHANGED: {
      // Moved onto a screen of another density: laid out again from the
      // design, where the system proposes.
      const RECT* r = reinterpret_cast<const RECT*>(lp);
      tk_.SetDpi(HIWORD(wp));
      Dispatch([&] { m_.FollowDpi(Rect{r->left, r->top, r->right, r->bottom}); });
      return 0;
    }
    case WM_COMMAND: OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)); return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return reinterpret_cast<LRESULT>(
          ControlColors(msg, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)));
    case WM_DRAWITEM:
      if (DrawSwatch(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp))) return TRUE;
      break;
    case WM_CLOSE:
    case WM_ENDSESSION:
      if (msg == WM_ENDSESSION && !wp) break;
      Dispatch([&] {
        std::int16_t cancel = 0;
        m_.Form_Unload(cancel);
      });
      return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: break;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

void KbdWindow::OnCommand(WORD id, WORD code, HWND control) {
  if (syncing_) return;
  if (id == kIdText) {
    if (code == CBN_EDITCHANGE && m_.cmbText.PasswordChar() == 0) {
      // Typed on a real keyboard: the edit line's model follows.
      const std::wstring text = WindowText(control);
      text_line_.text = text;
      Dispatch([&] { m_.cmbText.SetText(text); });
    } else if (code == CBN_DROPDOWN) {
      FillRealList(m_.cmbText, control, text_line_);
    } else if (code == CBN_SELCHANGE) {
      const int index = static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
      if (index >= 0 && index < m_.cmbText.ListCount()) {
        Dispatch([&] { m_.cmbText.SetListIndex(index); });
      }
    }
  } else if (id >= kIdLang && id < kIdLang + kLayouts && code == EN_CHANGE) {
    auto& box = m_.txtLang[static_cast<std::size_t>(id - kIdLang)];
    const std::wstring text = WindowText(control);
    layouts_[static_cast<std::size_t>(id - kIdLang)].text = text;
    Dispatch([&] { box.SetText(text); });
  } else if ((id == kIdFont || id == kIdSize) && code == CBN_SELCHANGE) {
    const int index = static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
    ComboBox& list = id == kIdFont ? m_.cmbFont : m_.cmbSize;
    (id == kIdFont ? font_list_ : size_list_).sel = index;
    Dispatch([&] { list.SetListIndex(index); });
  } else if (id >= kIdOption && id < kIdOption + static_cast<int>(m_.chkFont.size()) &&
             code == BN_CLICKED) {
    auto& box = m_.chkFont[static_cast<std::size_t>(id - kIdOption)];
    Dispatch([&] {
      box.SetValue(box.Value() == CheckBox::kChecked ? CheckBox::kUnchecked : CheckBox::kChecked);
    });
  } else if (id >= kIdButton && id < kIdButton + 2 && code == BN_CLICKED) {
    Dispatch([&] { m_.cmdHistory_Click(id - kIdButton); });
  }
}

bool KbdWindow::Press(const PressEvent& e) {
  bool taken = false;
  Dispatch([&] { taken = m_.Form_Press(e); });
  return taken;
}

// A press starts the tick (the hook has already put it on record for the
// model, since the finger may be gone before the first tick asks for the
// button); the tick stops a while after the release.
void KbdWindow::OnLeftButton(bool down) {
  if (down) hook_watch_.HookPress(static_cast<std::uint32_t>(GetMessageTime()));
  press_unseen_ |= down;
  button_down_ = down;
  if (!down) linger_until_ = GetTickCount() + kPollLingerMs;
  if (m_.tmrhWnd.Enabled() && !poll_running_) StartPoll();
}

// A press went by that the hook did not report: it is set again, and the
// press it missed still reaches the capture, which takes the field the
// finger is on.
void KbdWindow::CheckHook() {
  KillTimer(hwnd_, kTimerHookCheck);
  if (!hooked_ || !hook_watch_.HookLost(GetTickCount())) return;
  press_hook_.Reinstall();
  if (on_left_press) on_left_press();
  OnLeftButton(true);
  OnLeftButton(false);
}

// A tick inside another event (a tip sliding in) is skipped by the model,
// so only a tick run at the top counts as having seen the press; what the
// model then starts (the wait for a caret) runs from that tick.
void KbdWindow::AfterOutermostTick() {
  const DWORD now = GetTickCount();
  if (std::exchange(press_unseen_, false)) linger_until_ = now + kPollLingerMs;
  if (!button_down_ && static_cast<LONG>(now - linger_until_) >= 0) {
    StopPoll();
    // A touch is what opens most windows; where the system tells nobody
    // that one came to the front (Wine), the keyboard looks after each.
    StayOnTop();
  }
}

void KbdWindow::SyncPollTimer() {
  if (!m_.tmrhWnd.Enabled())
    StopPoll();
  else if (!hooked_ || button_down_)
    StartPoll();
}

void KbdWindow::StartPoll() {
  SetTimer(hwnd_, kTimerHwnd, m_.tmrhWnd.Interval(), nullptr);
  poll_running_ = true;
}

void KbdWindow::StopPoll() {
  KillTimer(hwnd_, kTimerHwnd);
  poll_running_ = false;
}

// ---------------------------------------------------------------- painting

HBRUSH KbdWindow::BrushFor(Color c) {
  for (auto& [colour, brush] : brushes_) {
    if (colour == c) return brush.get();
  }
  brushes_.emplace_back(c, UniqueBrush(CreateSolidBrush(c)));
  return brushes_.back().second.get();
}

void KbdWindow::Paint(HDC target) {
  RECT client;
  GetClientRect(hwnd_, &client);
  const int w = client.right, h = client.bottom;
  // Drawn off screen first so keys never flicker while they change colour;
  // without memory for that, straight onto the window.
  UniqueDc memory(CreateCompatibleDC(target));
  UniqueBitmap canvas(MakeCanvas(target, w, h));
  const bool buffered = memory && canvas;
  if (!buffered) LogCallFailed(L"CreateDIBSection (keyboard)");
  const SelectedObject on_canvas(buffered ? memory.get() : nullptr, canvas.get());
  HDC dc = buffered ? memory.get() : target;
  FillRect(dc, &client, BrushFor(m_.BackColor()));

  if (!m_.GetPicture() && designed_bits_ && tk_.Dpi() == 96) {
    const int dib_w = designed_info_->bmiHeader.biWidth;
    const int dib_h = std::abs(designed_info_->bmiHeader.biHeight);
    SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(dib_w), static_cast<DWORD>(dib_h), 0, 0, 0,
                      static_cast<UINT>(dib_h), designed_bits_, designed_info_, DIB_RGB_COLORS);
  } else if (HBITMAP background = Background(target)) {
    BITMAP bm{};
    GetObjectW(background, sizeof(bm), &bm);
    UniqueDc src(CreateCompatibleDC(target));
    const SelectedObject picture(src.get(), background);
    BitBlt(dc, 0, 0, bm.bmWidth, std::abs(bm.bmHeight), src.get(), 0, 0, SRCCOPY);
  }
  SetBkMode(dc, TRANSPARENT);
  for (const auto& label : m_.lblInfo) DrawLabel(dc, label);
  for (const auto& label : m_.lblX) DrawLabel(dc, label);
  for (const auto& label : m_.lblControl) DrawLabel(dc, label);
  if (TextLineDrawnWithKeys()) DrawEmptyTextLine(dc);

  if (buffered) BitBlt(target, 0, 0, w, h, dc, 0, 0, SRCCOPY);
  // Posted now, it comes after this paint has reached the screen.
  if (!first_paint_told_) first_paint_told_ = PostMessageW(hwnd_, kMsgFirstPainted, 0, 0);
}

// The picture as drawn at 96 DPI, smoothly scaled once for any other
// density and kept until the picture or the density changes.
HBITMAP KbdWindow::Background(HDC target) {
  HBITMAP source = m_.GetPicture() ? tk_.Bitmap(m_.GetPicture()) : DesignedBitmap();
  const int dpi = tk_.Dpi();
  if (!source || dpi == 96) return source;
  if (scaled_.source == source && scaled_.dpi == dpi) return scaled_.bitmap.get();
  BITMAP bm{};
  GetObjectW(source, sizeof(bm), &bm);
  const int w = ScaleFrom96(bm.bmWidth, dpi), h = ScaleFrom96(std::abs(bm.bmHeight), dpi);
  UniqueBitmap scaled(CreateCompatibleBitmap(target, w, h));
  if (!scaled) {
    LogCallFailed(L"CreateCompatibleBitmap (scaled background)");
    return source;
  }
  {
    UniqueDc from(CreateCompatibleDC(target)), to(CreateCompatibleDC(target));
    const SelectedObject in(from.get(), source), out(to.get(), scaled.get());
    SetStretchBltMode(to.get(), HALFTONE);
    SetBrushOrgEx(to.get(), 0, 0, nullptr);
    StretchBlt(to.get(), 0, 0, w, h, from.get(), 0, 0, bm.bmWidth, std::abs(bm.bmHeight), SRCCOPY);
  }
  scaled_ = {source, dpi, std::move(scaled)};
  return scaled_.bitmap.get();
}

HBITMAP KbdWindow::DesignedBitmap() {
  if (!std::exchange(designed_loaded_, true))
    designed_background_ = tk_.Bitmap(tk_.ResourcePicture(L"KEYBOARD"));
  return designed_background_;
}

// The empty edit line as the real one paints itself at the designed
// density: its frame (themed, or the classic sunken edge), the drop button
// in its place and the edit part in the line's own colour.
void KbdWindow::DrawEmptyTextLine(HDC dc) {
  using OpenThemeFn = HTHEME(WINAPI*)(HWND, LPCWSTR);
  using DrawThemeFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
  using CloseThemeFn = HRESULT(WINAPI*)(HTHEME);
  static const auto open = SystemFunction<OpenThemeFn>(L"uxtheme.dll", "OpenThemeData");
  static const auto draw = SystemFunction<DrawThemeFn>(L"uxtheme.dll", "DrawThemeBackground");
  static const auto close = SystemFunction<CloseThemeFn>(L"uxtheme.dll", "CloseThemeData");
  constexpr int kBorder = 2, kPadding = 1;
  const RECT frame = ToRect(m_.cmbText.Bounds());
  RECT button = frame;
  InflateRect(&button, -kBorder, -kBorder);
  button.left = button.right - GetSystemMetrics(SM_CXVSCROLL);
  RECT edit{frame.left + kBorder + kPadding, frame.top + kBorder + kPadding, button.left - kPadding,
            frame.bottom - kBorder - kPadding};
  HTHEME theme = open && draw && close ? open(hwnd_, L"Combobox") : nullptr;
  if (theme) {
    draw(theme, dc, 0, CBXS_NORMAL, &frame, nullptr);
    draw(theme, dc, CP_DROPDOWNBUTTON, CBXS_NORMAL, &button, nullptr);
    close(theme);
  } else {
    RECT edge = frame;
    DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
    DrawFrameControl(dc, &button, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
    RECT padding = edit;
    InflateRect(&padding, kPadding, kPadding);
    FrameRect(dc, &padding, GetSysColorBrush(COLOR_WINDOW));
  }
  FillRect(dc, &edit, BrushFor(m_.cmbText.BackColor()));
}

int KbdWindow::DropHeight() const { return ScaleFrom96(kDropHeight96, tk_.Dpi()); }

void KbdWindow::DrawLabel(HDC dc, const Label& label) {
  if (!label.Visible() || label.Caption().empty()) return;
  const SelectedObject font(dc, tk_.Fonts().Get(label.Font()));
  SetTextColor(dc, label.ForeColor());
  RECT r = ToRect(label.Bounds());
  // Captions are drawn literally: an ampersand is an ampersand.
  UINT format = DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER | DT_NOCLIP;
  format |= label.Alignment() == Label::Align::Center ? DT_CENTER : DT_LEFT;
  DrawTextW(dc, label.Caption().c_str(), static_cast<int>(label.Caption().size()), &r, format);
}

// The colour swatches: the box's back colour (the key or press colour) with
// its caption in black or white, whichever reads on it.
bool KbdWindow::DrawSwatch(const DRAWITEMSTRUCT& item) {
  const int i = static_cast<int>(item.CtlID) - kIdOption;
  if (i != kChkColor1 && i != kChkColor2) return false;
  const CheckBox& box = m_.chkFont[static_cast<std::size_t>(i)];
  const Color c = box.BackColor() & 0x00FFFFFF;
  RECT r = item.rcItem;
  FillRect(item.hDC, &r, BrushFor(c));
  DrawEdge(item.hDC, &r, (item.itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  const int luma = (GetRValue(c) * 299 + GetGValue(c) * 587 + GetBValue(c) * 114) / 1000;
  SetTextColor(item.hDC, luma < 128 ? RGB(255, 255, 255) : RGB(0, 0, 0));
  SetBkMode(item.hDC, TRANSPARENT);
  const SelectedObject font(item.hDC, tk_.Fonts().Get(box.Font()));
  DrawTextW(item.hDC, box.Caption().c_str(), -1, &r,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  return true;
}

// The edit line takes its model's colours; the layout boxes are light on
// dark; the option boxes sit on the window's own background (only the
// swatches show a colour of theirs, and they draw themselves). A read-only
// edit line (a masked password) asks as a static does.
HBRUSH KbdWindow::ControlColors(UINT msg, HDC dc, HWND control) {
  const HWND text_line = ToHwnd(m_.cmbText.hWnd());
  if (control == combo_edit_ || control == text_line || GetParent(control) == text_line) {
    SetTextColor(dc, m_.cmbText.ForeColor());
    SetBkColor(dc, m_.cmbText.BackColor());
    return BrushFor(m_.cmbText.BackColor());
  }
  if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) {
    SetTextColor(dc, kOptionText);
    SetBkColor(dc, kKbdBackColor);
    return BrushFor(kKbdBackColor);
  }
  SetTextColor(dc, kOptionText);
  SetBkColor(dc, kLayoutBoxBack);
  return BrushFor(kLayoutBoxBack);
}

// ---------------------------------------------------------------- syncing

void KbdWindow::Sync() {
  if (!hwnd_ || syncing_) return;
  const FlagScope syncing(syncing_);
  // The panel lies below the keys: a window taller than they are shows it.
  if (!panel_made_ && m_.Height() > OptionsPanel::CollapsedHeight(tk_)) MakePanel();
  SyncLabels();
  if (!TextLineDrawnWithKeys()) MakeTextLine();
  if (text_line_made_) SyncCombo(m_.cmbText, ToHwnd(m_.cmbText.hWnd()), text_line_, false);
  if (panel_made_) SyncPanel();
  if (timer_version_ != m_.tmrhWnd.Version()) {
    timer_version_ = m_.tmrhWnd.Version();
    SyncPollTimer();
  }
  auto sync_timer = [this](const auto& timer, auto& version, UINT_PTR id) {
    if (version == timer.Version()) return;
    version = timer.Version();
    if (timer.Enabled())
      SetTimer(hwnd_, id, timer.Interval(), nullptr);
    else
      KillTimer(hwnd_, id);
  };
  sync_timer(m_.tmrRepeat, repeat_timer_version_, kTimerRepeat);
  sync_timer(m_.tmrEnter, enter_timer_version_, kTimerEnter);
  SyncForm();
}

void KbdWindow::SyncPanel() {
  for (std::size_t i = 0; i < layouts_.size(); ++i) SyncTextBox(m_.txtLang[i], layouts_[i]);
  SyncCombo(m_.cmbFont, ToHwnd(m_.cmbFont.hWnd()), font_list_, true);
  SyncCombo(m_.cmbSize, ToHwnd(m_.cmbSize.hWnd()), size_list_, true);
  // A control with a caption that changed: its place and caption pushed,
  // and its real window back for what else it shows; null when unchanged.
  auto sync_captioned = [this](auto& control, auto& pushed) -> HWND {
    if (pushed.version == control.Version()) return nullptr;
    HWND real = ToHwnd(control.hWnd());
    SyncPlacement(control, real, pushed);
    if (pushed.text != control.Caption())
      SetWindowTextW(real, (pushed.text = control.Caption()).c_str());
    pushed.version = control.Version();
    return real;
  };
  for (std::size_t i = 0; i < options_.size(); ++i) {
    auto& box = m_.chkFont[i];
    auto& pushed = options_[i];
    HWND real = sync_captioned(box, pushed);
    if (real == nullptr) continue;
    if (pushed.value != box.Value()) {
      pushed.value = box.Value();
      SendMessageW(real, BM_SETCHECK, static_cast<WPARAM>(box.Value()), 0);
    }
    InvalidateRect(real, nullptr, TRUE);
  }
  for (std::size_t i = 0; i < buttons_.size(); ++i) sync_captioned(m_.cmdHistory[i], buttons_[i]);
}

void KbdWindow::SyncForm() {
  if (form_version_ == m_.Version()) return;
  form_version_ = m_.Version();
  if (caption_ != m_.Caption()) SetWindowTextW(hwnd_, (caption_ = m_.Caption()).c_str());
  RECT now;
  GetWindowRect(hwnd_, &now);
  if (!IsIconic(hwnd_) &&
      (now.left != m_.Left() || now.top != m_.Top() || now.right - now.left != m_.Width() ||
       now.bottom - now.top != m_.Height())) {
    SetWindowPos(hwnd_, nullptr, m_.Left(), m_.Top(), m_.Width(), m_.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // Maximising shows the window, so it waits until the model is visible.
  if (m_.WindowState() == kWindowMaximized && m_.Visible() && !IsZoomed(hwnd_)) {
    ShowWindow(hwnd_, SW_MAXIMIZE);
  }
  const bool shown = IsWindowVisible(hwnd_) != 0;
  if (m_.Visible() != shown) ShowWindow(hwnd_, m_.Visible() ? SW_SHOWNOACTIVATE : SW_HIDE);
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void KbdWindow::SyncLabels() {
  // A hidden window is painted whole when it is shown: nothing to mark
  // (each mark is a round trip to the window system, many at start-up).
  const bool shown = IsWindowVisible(hwnd_) != 0;
  std::size_t slot = 0;
  auto check = [&](const Label& label) {
    auto& seen = label_versions_[slot++];
    if (seen == label.Version()) return;
    seen = label.Version();
    if (!shown) return;
    RECT r = ToRect(label.Bounds());
    InflateRect(&r, 2, 2);
    InvalidateRect(hwnd_, &r, FALSE);
  };
  for (const auto& l : m_.lblX) check(l);
  for (const auto& l : m_.lblControl) check(l);
  for (const auto& l : m_.lblInfo) check(l);
}

void KbdWindow::SyncPlacement(const Control& model, HWND real, Pushed& pushed) {
  if (!(pushed.bounds == model.Bounds())) {
    pushed.bounds = model.Bounds();
    SetWindowPos(real, nullptr, model.Left(), model.Top(), model.Width(), model.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  HFONT font = tk_.Fonts().Get(model.Font());
  if (pushed.font != font) {
    pushed.font = font;
    SendMessageW(real, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  if (pushed.visible != model.Visible()) {
    pushed.visible = model.Visible();
    ShowWindow(real, model.Visible() ? SW_SHOWNA : SW_HIDE);
  }
}

void KbdWindow::FillRealList(const ComboBox& model, HWND real, Pushed& pushed) {
  if (pushed.list_version == model.ListVersion()) return;
  pushed.list_version = model.ListVersion();
  SendMessageW(real, WM_SETREDRAW, FALSE, 0);
  // Resetting the list would also empty the edit part; keep what it shows.
  const std::wstring shown = WindowText(real);
  SendMessageW(real, CB_RESETCONTENT, 0, 0);
  for (const auto& item : model.Items()) {
    SendMessageW(real, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  if (model.GetStyle() == ComboBox::Style::DropDownCombo) SetWindowTextW(real, shown.c_str());
  SendMessageW(real, WM_SETREDRAW, TRUE, 0);
}

void KbdWindow::SyncCombo(ComboBox& model, HWND real, Pushed& pushed, bool list_now) {
  if (pushed.version == model.Version()) return;
  pushed.version = model.Version();
  Rect b = model.Bounds();
  b.bottom += DropHeight();
  if (pushed.bounds != b) {
    pushed.bounds = b;
    SetWindowPos(real, nullptr, b.left, b.top, b.width(), b.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  HFONT font = tk_.Fonts().Get(model.Font());
  if (pushed.font != font) {
    pushed.font = font;
    SendMessageW(real, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (model.GetStyle() == ComboBox::Style::DropDownCombo) {
      // The edit part takes the designed height whatever the font.
      SendMessageW(real, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                   model.Height() - ScaleFrom96(6, tk_.Dpi()));
    }
  }
  // The list is rebuilt only when it is about to be shown (the edit line),
  // or at once for the short option lists.
  if (list_now || SendMessageW(real, CB_GETDROPPEDSTATE, 0, 0)) FillRealList(model, real, pushed);
  if (model.GetStyle() == ComboBox::Style::DropDownList) {
    if (pushed.sel != model.ListIndex()) {
      pushed.sel = model.ListIndex();
      SendMessageW(real, CB_SETCURSEL, static_cast<WPARAM>(model.ListIndex()), 0);
    }
    return;
  }
  // A masked line is read-only: what a real keyboard typed into the masks
  // could not be told from them.
  if (pushed.mask != model.PasswordChar() && combo_edit_) {
    pushed.mask = model.PasswordChar();
    SendMessageW(combo_edit_, EM_SETREADONLY, pushed.mask != 0, 0);
  }
  if (const std::wstring shown = model.Shown(); pushed.text != shown) {
    pushed.text = shown;
    SetWindowTextW(real, shown.c_str());
    pushed.sel = -1;
  }
  if (pushed.sel != model.SelStart() && combo_edit_) {
    pushed.sel = model.SelStart();
    SendMessageW(combo_edit_, EM_SETSEL, static_cast<WPARAM>(model.SelStart()),
                 static_cast<LPARAM>(model.SelStart()));
    SendMessageW(combo_edit_, EM_SCROLLCARET, 0, 0);
  }
  InvalidateRect(real, nullptr, FALSE);
  if (combo_edit_) InvalidateRect(combo_edit_, nullptr, FALSE);
}

void KbdWindow::SyncTextBox(TextBox& model, Pushed& pushed) {
  if (pushed.version == model.Version()) return;
  pushed.version = model.Version();
  HWND real = ToHwnd(model.hWnd());
  SyncPlacement(model, real, pushed);
  if (pushed.text != model.Text()) {
    pushed.text = model.Text();
    SetWindowTextW(real, model.Text().c_str());
  }
}

}  // namespace orv::win32
