// Held keys, a bouncing finger and the focus, end to end: the keyboard and
// the target application in separate processes.
#include "harness.h"

namespace orv::e2e {
namespace {

const std::wstring_view kFirst = kDefaultLayouts[0];

class TypingFeel : public Scene {
 protected:
  static GUITHREADINFO ThreadOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info;
  }
  // Typing goes where it went before the keyboard was touched: the target's
  // window stays in front and the field keeps the focus.
  bool TargetKeepsFocus(int id) const {
    return GetForegroundWindow() == target.window &&
           ThreadOf(target.window).hwndFocus == target.Field(id);
  }
  // The field's text at the release of a hold, and once it has settled.
  struct Held {
    std::wstring at_release, settled;
  };
  Held Hold(POINT at, Millis ms, int id, const std::function<void()>& pressed_then = {}) {
    Press(at);
    if (pressed_then) pressed_then();
    std::this_thread::sleep_for(ms);  // the finger stays down this long
    Release(at);
    Held r{target.FieldText(id), {}};
    EXPECT_TRUE(WaitSteady([&] { return target.FieldText(id); }, r.settled, "the field to settle"));
    EXPECT_TRUE(TargetKeepsFocus(id));
    // One write may be on its way at the release; nothing waits behind it.
    const auto after = int(r.settled.size()) - int(r.at_release.size());
    EXPECT_LE(std::abs(after), 1) << "characters that came after the release";
    return r;
  }
};

// A held Backspace clears a long field; a held letter repeats the letter it
// first typed, with the one-shot Shift spent on that first one.
TEST_F(TypingFeel, HeldKeysRepeatAndStopAtTheRelease) {
  ASSERT_TRUE(Capture(kEdit1, std::wstring(36, L'x')));
  const POINT back = keyboard.ToScreen(FunctionKeyCentre(kKeyBack));
  EXPECT_GE(36 - Hold(back, 2000ms, kEdit1).settled.size(), 25u);
  ASSERT_TRUE(Capture(kEdit2, L""));
  keyboard.TouchFunctionKey(kKeyShift);
  const Held held = Hold(keyboard.KeyCentre(12), 1000ms, kEdit2);
  EXPECT_GE(held.settled.size(), 5u);
  EXPECT_EQ(Narrow(held.settled),
            Narrow(std::wstring(held.settled.size(), kDefaultLayouts[1][12])));
}

// A finger bouncing 20 ms after lifting types once; the same key 100 ms after
// a release, or another key 20 ms after one, counts.
TEST_F(TypingFeel, BounceOnAKeyTypesOnce) {
  ASSERT_TRUE(Capture(kEdit3, L""));
  const POINT a = keyboard.KeyCentre(12), b = keyboard.KeyCentre(13);
  // Down and up in turn, three times on a, then on b, sent at once but each
  // stamped on the tick count's clock: the keyboard sees the finger's timing,
  // however late this process sends them.
  const DWORD first = GetTickCount() - 400, ms[] = {0, 60, 80, 140, 240, 300, 320, 380};
  for (int i = 0; i < 8; ++i) {
    const POINT at = i < 6 ? a : b;
    SetCursorPos(at.x, at.y);
    INPUT in{INPUT_MOUSE};
    in.mi.dwFlags = i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
    in.mi.time = first + ms[i];
    SendInput(1, &in, sizeof in);
    SettleButton(in.mi.dwFlags);
  }
  EXPECT_TRUE(FieldShows(kEdit3, std::wstring{kFirst[12], kFirst[12], kFirst[13]}));
}

// Wine taking the capture from a pressed key: a tap still types once, and a
// hold goes on to the lift and stops there.
TEST_F(TypingFeel, KeyThatLosesTheCaptureStillTapsAndStopsAtTheLift) {
  ASSERT_TRUE(Capture(kEdit3, L""));
  const auto capture_is = [&](bool ours) -> Result {
    return WaitFor(
        [&] { return (ThreadOf(keyboard.window).hwndCapture == keyboard.window) == ours; }, 3000ms,
        "the keyboard's capture");
  };
  Press(keyboard.KeyCentre(12));
  ASSERT_TRUE(capture_is(true));
  // The edit line's drop-down list takes the capture, and the release with it.
  SendMessageW(keyboard.EditLine(), CB_SHOWDROPDOWN, TRUE, 0);
  ASSERT_TRUE(capture_is(false));
  Release(keyboard.KeyCentre(12));
  EXPECT_TRUE(FieldShows(kEdit3, std::wstring(1, kFirst[12])));
  SendMessageW(keyboard.EditLine(), CB_SHOWDROPDOWN, FALSE, 0);
  const Held held = Hold(keyboard.KeyCentre(13), 1000ms, kEdit3, [&] {
    ASSERT_TRUE(capture_is(true));
    SendMessageW(keyboard.window, WM_CANCELMODE, 0, 0);
  });
  EXPECT_GE(held.settled.size(), 5u);
}

}  // namespace
}  // namespace orv::e2e
