// Fingers, pens and the mouse on the keys, on the fake clock: each pointer
// its own press, the Shift chord, slide-off, cancellation, bounce and repeat
// per finger. Wine sends no pointer messages, so this is where the pointer
// paths are proven; the mouse's are also driven end to end. Then the
// touches the capture takes, and tray mode without a notification area.
#include "app/hook_watch.h"
#include "fakes/kbd_fixture.h"
#include "keys/press_model.h"

namespace orv::fake {
namespace {

const std::wstring& kNormal = kDefaultLayouts[0];
const std::wstring& kShifted = kDefaultLayouts[1];
constexpr Pointer Finger(std::uint32_t id) { return {Pointer::Kind::kTouch, id}; }
constexpr Pointer kPen{Pointer::Kind::kPen, 7};
using K = PressEvent::Kind;

class PressTest : public KbdTest {
 protected:
  FakeTimers timers{desk};
  Hwnd field = 0;
  void SetUp() override {
    Load();
    timers.Add(kbd->tmrRepeat);
    const Hwnd app = desk.AddWindow(L"#32770", L"Target", 0, Rect{0, 0, 90, 280});
    field = desk.AddWindow(L"Edit", L"", app, Rect{10, 10, 80, 30});
    Touch(field);
  }
  static Point CentreOf(const Control& c) {
    return {(c.Left() + c.Left() + c.Width()) / 2, (c.Top() + c.Top() + c.Height()) / 2};
  }
  Point Char(int i) { return CentreOf(kbd->lblX[static_cast<std::size_t>(i)]); }
  Point Fn(int i) { return CentreOf(kbd->lblControl[static_cast<std::size_t>(i)]); }
  // One event of a pointer at a point of the keyboard, now; the timers
  // see at once what it set, as the system's do.
  bool Send(K kind, Pointer p, Point pt, PressButton button = PressButton::kLeft) {
    kbd->BeginEvent();
    const bool taken = kbd->Form_Press(PressEvent{kind, p, pt, desk.now, button});
    timers.Run();
    return taken;
  }
  void Tap(Pointer p, Point pt) {
    Send(K::kDown, p, pt);
    desk.now += 30;
    Send(K::kUp, p, pt);
    desk.now += 100;
  }
  const std::wstring& Text() { return desk.W(field).text; }
  std::wstring Ch(const std::wstring& layout, int i) { return layout.substr(i, 1); }
};

// Two fingers on two keys are two presses, both in the press colour while
// down; a finger resting on ^ shifts what another touches, and ^ stays as
// it was, latched or not, whichever finger lifts first.
TEST_F(PressTest, TwoFingersTwoKeysAndTheShiftChord) {
  Send(K::kDown, Finger(1), Char(12));
  desk.now += 10;
  Send(K::kDown, Finger(2), Char(13));
  const Color down = kbd->DownColor();
  EXPECT_EQ(kbd->lblX[12].ForeColor(), down);
  EXPECT_EQ(kbd->lblX[13].ForeColor(), down);
  Send(K::kUp, Finger(1), Char(12));
  EXPECT_EQ(kbd->lblX[13].ForeColor(), down) << "the other finger is still down";
  Send(K::kUp, Finger(2), Char(13));
  EXPECT_NE(kbd->lblX[13].ForeColor(), down);
  EXPECT_EQ(Text(), Ch(kNormal, 12) + Ch(kNormal, 13));

  // ^ held, a letter: shifted; ^ lifted: not latched.
  Send(K::kDown, Finger(3), Fn(kKeyShift));
  Tap(Finger(4), Char(14));
  EXPECT_EQ(kbd->lblX[14].Caption(), Ch(kShifted, 14)) << "shifted while ^ is held";
  Send(K::kUp, Finger(3), Fn(kKeyShift));
  EXPECT_EQ(kbd->GetShift().ShiftOn(), 0);
  EXPECT_EQ(kbd->lblX[14].Caption(), Ch(kNormal, 14));
  // ^ lifted before the letter: the letter types what it showed at its press.
  Send(K::kDown, Finger(3), Fn(kKeyShift));
  desk.now += 10;
  Send(K::kDown, Finger(4), Char(15));
  Send(K::kUp, Finger(3), Fn(kKeyShift));
  Send(K::kUp, Finger(4), Char(15));
  desk.now += 100;
  // Latched for one letter: a chord leaves the latch for the next letter.
  Tap(Finger(5), Fn(kKeyShift));
  Send(K::kDown, Finger(3), Fn(kKeyShift));
  Tap(Finger(4), Char(16));
  Send(K::kUp, Finger(3), Fn(kKeyShift));
  EXPECT_EQ(kbd->GetShift().ShiftOn(), 1);
  EXPECT_EQ(kbd->lblControl[kKeyShift].ForeColor(), down) << "the latch still shows";
  Tap(Finger(4), Char(16));
  Tap(Finger(4), Char(16));
  EXPECT_EQ(Text(), Ch(kNormal, 12) + Ch(kNormal, 13) + Ch(kShifted, 14) + Ch(kShifted, 15) +
                        Ch(kShifted, 16) + Ch(kShifted, 16) + Ch(kNormal, 16));
}

// Slid off, cancelled or lost, a finger's or a pen's press types nothing; the
// mouse's lost capture waits for the lift. A finger on the background is
// the system's (it becomes the mouse's, and drags), the mouse's any button
// there drags; the right button on a key does nothing.
TEST_F(PressTest, SlideOffCancelLostCaptureAndTheBackground) {
  EXPECT_TRUE(Send(K::kDown, Finger(1), Char(12)));
  EXPECT_TRUE(Send(K::kMove, Finger(1), Char(13)));
  EXPECT_TRUE(Send(K::kUp, Finger(1), Char(13)));
  Send(K::kDown, kPen, Char(12));
  Send(K::kCancel, kPen, Char(12));
  Send(K::kDown, Finger(2), Char(12));
  Send(K::kLost, Finger(2), Char(12));
  EXPECT_FALSE(kbd->Presses().Holds(Finger(2)));
  Send(K::kUp, Finger(2), Char(12));
  Send(K::kDown, kMousePointer, Char(12), PressButton::kRight);
  Send(K::kUp, kMousePointer, Char(12), PressButton::kRight);
  desk.now += 100;
  EXPECT_EQ(Text(), L"");

  Send(K::kDown, kMousePointer, Char(12));
  Send(K::kLost, kMousePointer, Char(12));
  EXPECT_TRUE(kbd->Presses().AwaitsLift());
  Send(K::kUp, kMousePointer, Char(12));
  EXPECT_FALSE(kbd->Presses().AwaitsLift());
  EXPECT_EQ(Text(), Ch(kNormal, 12));

  const Point background{3, 3};
  EXPECT_FALSE(Send(K::kDown, Finger(3), background));
  EXPECT_FALSE(Send(K::kMove, Finger(3), Char(12))) << "its moves stay the system's";
  EXPECT_FALSE(Send(K::kUp, Finger(3), Char(12)));
  EXPECT_TRUE(Send(K::kDown, kMousePointer, background, PressButton::kMiddle));
  EXPECT_EQ(Text(), Ch(kNormal, 12));
}

// Each finger repeats on its own beat and a tap by another finger between
// its beats types once; a finger bouncing on its key 20 ms after lifting
// types nothing more, while another key touched then counts. A mouse lifted
// or slid off before a beat stops repeating.
TEST_F(PressTest, RepeatAndBouncePerFinger) {
  const std::uint32_t t0 = desk.now;
  Send(K::kDown, Finger(1), Fn(kKeySpace));
  desk.now += 200;
  Send(K::kDown, Finger(2), Char(12));
  timers.Wait(100, 1);
  Tap(Finger(3), Char(13));
  timers.Wait(t0 + 1020 - desk.now, 1);
  Send(K::kUp, Finger(1), Fn(kKeySpace));
  Send(K::kUp, Finger(2), Char(12));
  const std::wstring a = Ch(kNormal, 12), b = Ch(kNormal, 13);
  std::size_t spaces = 0, as = 0;
  for (wchar_t c : Text()) (c == L' ' ? spaces : as) += c == L' ' || c == a[0];
  EXPECT_EQ(spaces, 1 + (1000 - 500) / 50u);
  EXPECT_EQ(as, 1 + (1000 - 700) / 50u);
  EXPECT_EQ(Text().find(b), 0u) << "the tap came before every beat";

  kbd->cmbText.SetText(L"");
  Tap(Finger(4), Char(14));
  desk.now -= 80;  // Tap rests 100 ms: the bounce comes 20 ms after the lift
  Send(K::kDown, Finger(5), Char(14));
  Send(K::kDown, Finger(6), Char(15));
  desk.now += 30;
  Send(K::kUp, Finger(5), Char(14));
  Send(K::kUp, Finger(6), Char(15));
  EXPECT_EQ(Text(), Ch(kNormal, 14) + Ch(kNormal, 15));

  kbd->cmbText.SetText(L"");
  desk.cursor = {kbd->Left() + Char(16).x, kbd->Top() + Char(16).y};
  desk.button_down = true;
  Send(K::kDown, kMousePointer, Char(16));
  timers.Wait(520);
  desk.button_down = false;  // its release still waits in the queue
  timers.Wait(200);
  EXPECT_EQ(Text(), Ch(kNormal, 16));
}

// A press anywhere on the screen that the capture looks at: the left
// button, and a finger's press-and-hold that arrives as the right one.
TEST(TouchOnAField, LeftButtonOrAFingersPressAndHold) {
  const std::uintptr_t touch = 0xFF515780u, pen = 0xFF515700u, mouse = 0;
  EXPECT_TRUE(TouchesAField(true, false, mouse));
  EXPECT_TRUE(TouchesAField(false, true, touch));
  EXPECT_TRUE(TouchesAField(false, true, pen));
  EXPECT_FALSE(TouchesAField(false, true, mouse));
  EXPECT_FALSE(TouchesAField(false, true, 0xFF515600u));
}

// The hook's report of a press may come before or after raw input's; a
// press it never reports means it is gone. The tick count may wrap.
TEST(HookWatch, APressOnlyRawInputSawMeansTheHookIsGone) {
  HookWatch watch;
  const std::uint32_t t = 0xFFFFFF80u;
  watch.HookPress(t);
  watch.RawPress(t + 5);
  EXPECT_FALSE(watch.HookLost(t + 300));
  watch.RawPress(t + 1000);
  watch.HookPress(t + 1010);
  EXPECT_FALSE(watch.HookLost(t + 1300));
  watch.RawPress(t + 2000);
  EXPECT_FALSE(watch.HookLost(t + 2100)) << "asked too soon";
  EXPECT_TRUE(watch.HookLost(t + 2300));
  EXPECT_FALSE(watch.HookLost(t + 2600)) << "said once";
}

// Without a notification area tray mode keeps the keyboard on screen:
// nothing could bring it back but a field. Once the taskbar comes, the
// icon goes in and tray mode hides as it should.
TEST_F(KbdTest, TrayModeWithoutANotificationAreaNeverHides) {
  desk.files[L"C:\\Program Files\\OrvKey\\OrvKey.ini"] = desk.ToAnsi(
      L"[OrvCar Keyboard Settings File]\r\n" + kDefaultLayouts[0] + L"\r\n" + kDefaultLayouts[1] +
          L"\r\n" + kDefaultLayouts[2] + L"\r\n" + kDefaultLayouts[3] +
          L"\r\n[Font]\r\nFontName=Tahoma\r\nFontBold=0\r\nFontItal=0\r\n"
          L"FontUnder=0\r\nFontSize=14\r\nFontColor=255\r\nDownColor=65280\r\n"
          L"[Settings]\r\nTips=0\r\nCaps=0\r\nHideToTray=1\r\n[History]\r\n",
      nullptr);
  desk.notification_area = false;
  Load();
  EXPECT_TRUE(kbd->Visible());
  const Hwnd button = desk.AddWindow(L"Button", L"OK", 0, Rect{0, 0, 50, 20});
  Touch(button);
  EXPECT_TRUE(kbd->Visible()) << "a touch elsewhere";
  FKey(kKeyClose);
  EXPECT_TRUE(kbd->Visible()) << "X";

  desk.notification_area = true;
  kbd->Form_TaskbarCreated();
  kbd->Form_TaskbarCreated();  // Explorer restarted: still one icon
  EXPECT_EQ(desk.icons, 1);
  Touch(button);
  EXPECT_FALSE(kbd->Visible());
}

}  // namespace
}  // namespace orv::fake
