// Fingers, pens and the mouse on the keys, on the fake clock. Wine sends no
// pointer messages: this is where the fingers' paths are proven. Then the
// hook's watch and tray mode without a notification area.
#include "app/hook_watch.h"
#include "fakes/kbd_fixture.h"
#include "keys/press_model.h"

namespace orv::fake {
namespace {

constexpr Pointer F(std::uint32_t id) { return {Pointer::Kind::kTouch, id}; }
using K = PressEvent::Kind;

class PressTest : public KbdTest {
 protected:
  FakeTimers timers{desk};
  Hwnd field = 0;
  void SetUp() override {
    Load();
    timers.Add(kbd->tmrRepeat);
    field = desk.AddWindow(L"Edit", L"", 0, Rect{10, 10, 80, 30});
    Touch(field);
  }
  static Point CentreOf(const Control& c) {
    return {c.Left() + c.Width() / 2, c.Top() + c.Height() / 2};
  }
  Point Char(int i) { return CentreOf(kbd->lblX[static_cast<std::size_t>(i)]); }
  Point Shift() { return CentreOf(kbd->lblControl[kKeyShift]); }
  // One event now; the timers see at once what it set, as the system's do.
  bool Send(K kind, Pointer p, Point pt, PressButton button = PressButton::kLeft) {
    kbd->BeginEvent();
    const bool taken = kbd->Form_Press(PressEvent{kind, p, pt, desk.now, button});
    timers.Run();
    return taken;
  }
  void Tap(Pointer p, Point pt) {
    Send(K::kDown, p, pt), desk.now += 30, Send(K::kUp, p, pt), desk.now += 100;
  }
  const std::wstring& Text() { return desk.W(field).text; }
  static std::wstring Ch(int layout, int i) { return kDefaultLayouts[layout].substr(i, 1); }
};

// Two fingers on two keys are two presses, both in the press colour; a
// finger resting on ^ shifts what another touches, whichever lifts first,
// and ^ stays as it was, latched or not.
TEST_F(PressTest, TwoFingersTwoKeysAndTheShiftChord) {
  Send(K::kDown, F(1), Char(12)), Send(K::kDown, F(2), Char(13));
  Send(K::kUp, F(1), Char(12));
  EXPECT_EQ(kbd->lblX[13].ForeColor(), kbd->DownColor()) << "the other finger is still down";
  Send(K::kUp, F(2), Char(13)), desk.now += 100;
  Send(K::kDown, F(3), Shift());
  Tap(F(4), Char(14));
  EXPECT_EQ(kbd->lblX[14].Caption(), Ch(1, 14)) << "shifted while ^ is held";
  Send(K::kUp, F(3), Shift());
  EXPECT_EQ(kbd->lblX[14].Caption(), Ch(0, 14));
  Send(K::kDown, F(3), Shift()), Send(K::kDown, F(4), Char(15));
  Send(K::kUp, F(3), Shift()), Send(K::kUp, F(4), Char(15)), desk.now += 100;
  Tap(F(5), Shift());  // latched for one letter: a chord leaves it for the next
  Send(K::kDown, F(3), Shift()), Tap(F(4), Char(16)), Send(K::kUp, F(3), Shift());
  EXPECT_EQ(kbd->lblControl[kKeyShift].ForeColor(), kbd->DownColor()) << "the latch shows";
  Tap(F(4), Char(16)), Tap(F(4), Char(16));
  EXPECT_EQ(Text(),
            Ch(0, 12) + Ch(0, 13) + Ch(1, 14) + Ch(1, 15) + Ch(1, 16) + Ch(1, 16) + Ch(0, 16));
}

// Slid off, cancelled or lost, a finger's or a pen's press types nothing;
// the mouse's lost capture waits for the lift. A finger on the background
// is the system's (it makes it the mouse's, which drags); the right button
// on a key does nothing.
TEST_F(PressTest, SlideOffCancelLostCaptureAndTheBackground) {
  const Pointer pen{Pointer::Kind::kPen, 7};
  Send(K::kDown, F(1), Char(12)), Send(K::kMove, F(1), Char(13));
  EXPECT_TRUE(Send(K::kUp, F(1), Char(12))) << "back on its key: still slid off";
  Send(K::kDown, pen, Char(12)), Send(K::kCancel, pen, Char(12));
  Send(K::kDown, F(2), Char(12)), Send(K::kLost, F(2), Char(12)), Send(K::kUp, F(2), Char(12));
  Send(K::kDown, kMousePointer, Char(12), PressButton::kRight);
  Send(K::kUp, kMousePointer, Char(12), PressButton::kRight), desk.now += 100;
  EXPECT_EQ(Text(), L"");

  Send(K::kDown, kMousePointer, Char(12)), Send(K::kLost, kMousePointer, Char(12));
  EXPECT_TRUE(kbd->Presses().AwaitsLift());
  Send(K::kUp, kMousePointer, Char(12));
  EXPECT_EQ(Text(), Ch(0, 12));

  EXPECT_FALSE(Send(K::kDown, F(3), Point{3, 3}));
  EXPECT_FALSE(Send(K::kUp, F(3), Char(12))) << "its events stay the system's";
  EXPECT_EQ(Text(), Ch(0, 12));
}

// Each finger repeats on its own beat, and another's tap between the beats
// types once; a finger bouncing on its key 20 ms after lifting types
// nothing more, while another key touched then counts. A mouse already
// lifted stops repeating though its release is still to come.
TEST_F(PressTest, RepeatAndBouncePerFinger) {
  const std::uint32_t t0 = desk.now;
  Send(K::kDown, F(1), CentreOf(kbd->lblControl[kKeySpace])), desk.now += 200;
  Send(K::kDown, F(2), Char(12)), timers.Wait(100, 1);
  Tap(F(3), Char(13));
  timers.Wait(t0 + 1020 - desk.now, 1);
  Send(K::kUp, F(1), CentreOf(kbd->lblControl[kKeySpace])), Send(K::kUp, F(2), Char(12));
  const std::wstring& t = Text();
  EXPECT_EQ(t.substr(0, 1), Ch(0, 13));
  EXPECT_EQ(std::count(t.begin(), t.end(), L' '), 1 + (1000 - 500) / 50);
  EXPECT_EQ(std::count(t.begin(), t.end(), Ch(0, 12)[0]), 1 + (1000 - 700) / 50);

  kbd->cmbText.SetText(L"");
  Tap(F(4), Char(14)), desk.now -= 80;
  Send(K::kDown, F(5), Char(14)), Send(K::kDown, F(6), Char(15)), desk.now += 30;
  Send(K::kUp, F(5), Char(14)), Send(K::kUp, F(6), Char(15));
  EXPECT_EQ(Text(), Ch(0, 14) + Ch(0, 15));

  kbd->cmbText.SetText(L"");
  desk.cursor = {kbd->Left() + Char(16).x, kbd->Top() + Char(16).y};
  desk.button_down = true;
  Send(K::kDown, kMousePointer, Char(16)), timers.Wait(520);
  desk.button_down = false, timers.Wait(200);
  EXPECT_EQ(Text(), Ch(0, 16));
}

// What a key does may let further presses run before it returns (a tip
// slides in and pumps events): the model takes them in its stride.
TEST(PressModel, PressesNestedInsideAKeysActionAreTakenInTheirStride) {
  struct Keys : PressSurface {
    PressModel* model = nullptr;
    std::wstring typed;
    Hit HitTest(Point pt) override { return {Hit::What::kKey, {KeyRef::Kind::kCharacter, pt.x}}; }
    std::wstring Shows(KeyRef k) override {
      return std::wstring(1, static_cast<wchar_t>('a' + k.index));
    }
    bool Repeats(KeyRef) override { return false; }
    void KeyDown(KeyRef) override {}
    void KeyUp(KeyRef) override {}
    void KeyAct(KeyRef k, const std::wstring& shown) override {
      typed += shown;
      for (std::uint32_t id = 10; k.index == 0 && id < 20; ++id) {  // enough to move its lists
        model->Handle({K::kDown, F(id), {1, 0}, id * 100});
        model->Handle({K::kUp, F(id), {1, 0}, id * 100 + 50});
      }
    }
    std::optional<Point> MouseNow() override { return std::nullopt; }
  } keys;
  PressModel model(keys);
  keys.model = &model;
  model.Handle({K::kDown, F(1), {0, 0}, 0}), model.Handle({K::kDown, F(2), {5, 0}, 0});
  EXPECT_TRUE(model.Handle({K::kUp, F(1), {0, 0}, 0}));
  EXPECT_TRUE(model.Handle({K::kUp, F(2), {5, 0}, 0}));
  EXPECT_EQ(keys.typed, L"a" + std::wstring(10, L'b') + L"f");
  EXPECT_TRUE(model.HeldKeys().empty());
}

// The capture takes the left button and a finger's press-and-hold, which
// arrives as the right one. The hook's report of a press may come before
// or after raw input's; a press it never reports means it is gone.
TEST(HookWatch, TouchesTheCaptureTakesAndAPressOnlyRawInputSaw) {
  EXPECT_TRUE(TouchesAField(true, false, 0) && TouchesAField(false, true, 0xFF515780u));
  EXPECT_FALSE(TouchesAField(false, true, 0) || TouchesAField(false, true, 0xFF515600u));
  HookWatch watch;
  const std::uint32_t t = 0xFFFFFF80u;  // the tick count wraps
  watch.HookPress(t), watch.RawPress(t + 5);
  EXPECT_FALSE(watch.HookLost(t + 300));
  watch.RawPress(t + 1000), watch.HookPress(t + 1010);
  EXPECT_FALSE(watch.HookLost(t + 1300));
  // The hook's report, posted after the press's own time, handled first.
  watch.HookPress(t + 1510), watch.RawPress(t + 1500);
  EXPECT_FALSE(watch.HookLost(t + 1800));
  watch.RawPress(t + 2000);
  EXPECT_FALSE(watch.HookLost(t + 2100)) << "asked too soon";
  EXPECT_TRUE(watch.HookLost(t + 2300));
}

// Without a notification area tray mode keeps the keyboard on screen; once
// the taskbar comes, the icon goes in and tray mode hides as it should.
TEST_F(KbdTest, TrayModeWithoutANotificationAreaNeverHides) {
  std::wstring file = L"[OrvCar Keyboard Settings File]\r\n";
  for (const auto& layout : kDefaultLayouts) file += layout + L"\r\n";
  desk.files[L"C:\\Program Files\\OrvKey\\OrvKey.ini"] =
      desk.ToAnsi(file +
                      L"[Font]\r\nFontName=Tahoma\r\nFontBold=0\r\nFontItal=0\r\nFontUnder=0\r\n"
                      L"FontSize=14\r\nFontColor=255\r\nDownColor=65280\r\n[Settings]\r\nTips=0\r\n"
                      L"Caps=0\r\nHideToTray=1\r\n[History]\r\n",
                  nullptr);
  desk.notification_area = false;
  Load();
  const Hwnd button = desk.AddWindow(L"Button", L"OK", 0, Rect{0, 0, 50, 20});
  Touch(button);
  FKey(kKeyClose);
  EXPECT_TRUE(kbd->Visible());
  desk.notification_area = true;
  kbd->Form_TaskbarCreated();
  kbd->Form_TaskbarCreated();  // the taskbar restarted: still one icon
  EXPECT_EQ(desk.icons, 1);
  Touch(button);
  EXPECT_FALSE(kbd->Visible());
}

}  // namespace
}  // namespace orv::fake
