// A keyboard window on the fake desktop, loaded and ready to be touched, and
// timers that run on the fake clock.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "app/frmKbd.h"
#include "fakes/fake_desktop.h"
#include "tip/frmTip.h"

namespace orv::fake {

// Timers on the fake clock: each fires when its interval has passed since it
// was set or last fired, from the desktop's DoEvents (so timers run nested
// inside slides, as real ones do) and while a test lets time go by, but
// never again inside its own handler.
class FakeTimers {
 public:
  explicit FakeTimers(Desktop& desk) : desk_(desk) {
    desk_.on_do_events = [this] { Run(); };
  }
  ~FakeTimers() { desk_.on_do_events = nullptr; }

  void Add(Timer& timer) { entries_.push_back({&timer}); }
  void Run() {
    for (auto& e : entries_) {
      if (std::exchange(e.version, e.timer->Version()) != e.timer->Version())
        e.due = desk_.now + e.timer->Interval();
      if (!e.timer->Enabled() || e.firing || desk_.now < e.due) continue;
      e.due = desk_.now + e.timer->Interval();
      e.firing = true;
      e.timer->Fire();
      e.firing = false;
    }
  }
  // Idle time: the clock moves on in steps, timers fire as they fall due.
  void Wait(std::uint32_t ms, std::uint32_t step = 10) {
    for (const std::uint32_t end = desk_.now + ms; desk_.now < end; Run())
      desk_.now = std::min(desk_.now + step, end);
  }

 private:
  struct Entry {
    Timer* timer;
    std::uint64_t version = ~0ull;
    std::uint32_t due = 0;
    bool firing = false;
  };
  Desktop& desk_;
  std::vector<Entry> entries_;
};

class KbdTest : public ::testing::Test {
 protected:
  Desktop desk;
  Ports ports{desk.ports()};
  KelpUltimate kelp{ports};
  std::unique_ptr<FrmKbd> kbd;
  FrmTip* tip_window = nullptr;  // handed to the keyboard before it loads
  std::function<FrmTip*()> make_tip;  // or made when start-up first needs it

  // Creates the keyboard's windows the way the shell does, then loads it.
  void Load() {
    kbd = std::make_unique<FrmKbd>(ports, kelp);
    const Hwnd form = desk.AddWindow(L"OrvKeyKeyboard", L"", 0, Rect{100, 300, 732, 517});
    kbd->AttachWindow(form);
    kbd->Move(100, 300, 632, 217);
    const Hwnd combo = desk.AddWindow(L"ComboBox", L"", form, Rect{156, 310, 635, 347});
    kbd->cmbText.AttachWindow(combo);
    desk.AddWindow(L"Edit", L"", combo, Rect{159, 313, 615, 344});
    kbd->picHook.AttachWindow(desk.AddWindow(L"Static", L"", form, Rect{100, 300, 101, 301}));
    if (tip_window) kbd->SetTipWindow(tip_window);
    if (make_tip) kbd->SetTipWindowMaker(make_tip);
    kbd->Form_Load();
  }
  // A tip window with its icon for the keyboard to report into.
  void AttachTip(FrmTip& tip) {
    const Hwnd wnd = desk.AddWindow(L"OrvKeyTip", kTipTitle, 0, Rect{0, 0, 584, 185});
    tip.AttachWindow(wnd);
    tip.picIcon.AttachWindow(desk.AddWindow(L"OrvKeyTipIcon", L"", wnd, Rect{24, 37, 74, 87}));
    tip_window = &tip;
  }
  void Unload() {
    std::int16_t cancel = 0;
    kbd->Form_Unload(cancel);
  }
  const std::vector<std::wstring>& History() { return kbd->GetHistory().Items(); }

  // A finger on a window for one tick of the polling timer.
  void Touch(Hwnd wnd) {
    const Rect r = desk.W(wnd).rect;
    desk.cursor = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    desk.button_down = true;
    kbd->BeginEvent();
    kbd->tmrhWnd.Fire();
    desk.button_down = false;
  }
  // The user puts the caret into the edit line.
  void PutCaret(std::int32_t pos) {
    kbd->cmbText.ReportSelStart(pos);
    kbd->cmbText_CaretMoved();
  }
  // One touch of a character key or, with `function`, a function key. The
  // finger comes back a while after it left, or it would be a bounce.
  void Key(int index, bool function = false) {
    desk.now += 100;
    kbd->BeginEvent();
    function ? kbd->lblControl_MouseDown(index) : kbd->lblX_MouseDown(index);
    function ? kbd->lblControl_MouseUp(index) : kbd->lblX_MouseUp(index);
    function ? kbd->lblControl_Click(index) : kbd->lblX_Click(index);
  }
  void FKey(int index) { Key(index, true); }
  // Lets Enter's steps run, each when its pause is over; returns the
  // pauses between them.
  std::vector<std::uint32_t> RunEnter() {
    std::vector<std::uint32_t> pauses;
    while (kbd->tmrEnter.Enabled()) {
      pauses.push_back(kbd->tmrEnter.Interval());
      desk.now += kbd->tmrEnter.Interval();
      kbd->BeginEvent();
      kbd->tmrEnter.Fire();
    }
    return pauses;
  }
  // Types each character with the key that shows it in the current layout.
  void Type(const std::wstring& text) {
    for (wchar_t c : text) {
      const auto at = kbd->txtLang[kbd->GetShift().LayoutIndex()].Text().find(c);
      ASSERT_NE(at, std::wstring::npos) << "no key shows " << static_cast<int>(c);
      Key(static_cast<int>(at));
    }
  }
};

// The keyboard with its tip window, for tests of what the tips tell; slides
// take time.
class TipKbdTest : public KbdTest {
 protected:
  FrmTip tip{ports, kelp};
  void SetUp() override {
    AttachTip(tip);
    desk.on_do_events = [this] { desk.now += 10; };
  }
  const std::wstring& TipText() { return tip.lblInfo[0].Caption(); }
};

}  // namespace orv::fake
