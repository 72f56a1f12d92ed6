// Key repeat on the tick count's clock, and a hold over a field that stops
// answering. The bounce, and a hold stopping at the release of a real finger,
// are driven end to end.
#include "keys/key_repeat.h"

#include "fakes/kbd_fixture.h"

namespace orv {
namespace {

constexpr KeyRef kA{KeyRef::Kind::kCharacter, 3};

// A hold of two seconds acts at the delay and then once per interval; the
// release that ends it adds nothing. A short touch acts at its release.
TEST(KeyRepeat, HoldActsOnScheduleAndShortTouchClicksOnce) {
  KeyRepeat r;
  const std::uint32_t t0 = 0xFFFFFF00u;  // the tick count wraps during the hold
  r.Press(kA, true, t0);
  int actions = 0;
  for (std::uint32_t t = 0; t <= 2000; t += 10) actions += r.Due(t0 + t) ? 1 : 0;
  EXPECT_EQ(actions, 1 + (2000 - 500) / 50);
  EXPECT_FALSE(r.Release(t0 + 2005));
  EXPECT_FALSE(r.Holding());

  r.Press(kA, true, 5000);
  EXPECT_FALSE(r.Due(5499));
  EXPECT_TRUE(r.Release(5120));
}

// A finger held on the keyboard over a field of another application.
class HeldKey : public fake::KbdTest {};

// A field that stops answering stops the repeat, and the release of that
// hold adds nothing.
TEST_F(HeldKey, StopsOnAHungField) {
  Load();
  fake::FakeTimers timers(desk);
  timers.Add(kbd->tmrRepeat);
  const Hwnd app = desk.AddWindow(L"#32770", L"App", 0, Rect{0, 0, 400, 200});
  const Hwnd field = desk.AddWindow(L"Edit", L"", app, Rect{10, 10, 200, 30});
  Touch(field);
  const Rect key = kbd->lblX[12].Bounds();
  desk.cursor = {kbd->Left() + key.left + 2, kbd->Top() + key.top + 2};
  desk.button_down = true;
  kbd->lblX_MouseDown(12);
  timers.Wait(1000);
  const std::wstring typed = desk.W(field).text;
  EXPECT_GE(typed.size(), 8u);
  desk.W(field).hung = true;
  timers.Wait(1000);
  kbd->lblX_MouseUp(12);
  kbd->lblX_Click(12);
  // The one write that met the time-out is in the edit line only.
  EXPECT_EQ(kbd->cmbText.Text().size(), typed.size() + 1);
}

}  // namespace
}  // namespace orv
